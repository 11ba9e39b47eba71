// A place that holds extension windows: the toolbar strip, the side panel, a floating frame.
#pragma once

#include <windows.h>

#include <vector>

#include "standin_host/extension_window.h"
#include "standin_host/host_objects.h"

namespace shell {

// The layout framework's host of extension windows: the component is handed
// this dock's host object with each window it creates or moves here, and
// tells the dock it held the window before when the window leaves.
class Dock {
 public:
  enum class Direction { across, down };

  // `container` is the window the hosted windows become children of.
  Dock(HWND container, Direction direction, int item_length);
  Dock(const Dock&) = delete;
  Dock& operator=(const Dock&) = delete;

  HWND container() const { return container_; }
  bool holds(HWND window) const;
  bool empty() const { return windows_.empty(); }

  // Creates the object's window here, or moves it here from another dock.
  // Returns the window, shown, or null when the component could not make one.
  HWND attach(standin::ExtensionWindow& window);
  // Forgets windows the component said have left, and windows destroyed.
  void sync();
  // Places the hosted windows side by side (across) or one above another (down).
  void layout();

 private:
  HWND container_;
  Direction direction_;
  int item_length_;
  standin::ExtensionHostObject host_;
  std::vector<HWND> windows_;
};

}  // namespace shell
