// A place that holds extension windows: the toolbar strip, the side panel, a floating frame.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "standin_host/extension_window.h"
#include "standin_host/host_objects.h"
#include "standin_host/window_class.h"

namespace shell {

// The layout framework's host of extension windows: the component is handed
// this dock's host object with each window it creates or moves here, and
// tells the dock it held the window before when the window leaves.
class Dock : public standin::WindowOwner {
 public:
  enum class Direction { across, down };

  // Each window hosted across is `item_length` long at 96 DPI, scaled to `dpi`.
  Dock(Direction direction, int item_length, int dpi);
  ~Dock();
  Dock(const Dock&) = delete;
  Dock& operator=(const Dock&) = delete;

  // Makes the window the hosted windows become children of: a child of
  // `parent` (WS_CHILD in `style`), or a floating frame it owns.
  bool create(HWND parent, DWORD style, DWORD ex_style, const wchar_t* title, const RECT& rect);
  HWND container() const { return container_; }
  bool holds(HWND window) const;
  bool empty() const { return windows_.empty(); }
  // Lays the windows out again at that DPI. A floating frame keeps its own:
  // it is told by WM_DPICHANGED when it moves to a monitor of another.
  void set_dpi(int dpi);

  // Creates the object's window here, or moves it here from another dock.
  // Returns the window, shown, or null when the component could not make one.
  HWND attach(standin::ExtensionWindowView& window);
  // Forgets windows the component said have left, and windows destroyed.
  void sync();
  // Places the hosted windows side by side (across) or one above another (down).
  void layout();

  // A floating frame's caption button: whoever placed the windows decides.
  std::function<void()> on_close;

 private:
  LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;

  HWND container_ = nullptr;
  Direction direction_;
  int item_length_96_;
  int item_length_;  // at the dock's DPI
  standin::ExtensionHostObject host_;
  std::vector<HWND> windows_;
};

}  // namespace shell
