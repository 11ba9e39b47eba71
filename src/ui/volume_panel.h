// The vertical volume slider offered as a panel: the extension-window object
// and its host window, which holds a trackbar with full volume at the top.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "frame/window_class.h"
#include "ui/extension_window_base.h"

namespace dwx {

// A vertical trackbar grows downwards, so every level is turned over
// (1000 - level) between the volume scale and the control, both ways. The
// trackbar keeps its own mouse and keyboard handling; only its thumb drags
// set the volume.
class VolumePanel : public ExtensionWindowBase<VolumePanel> {
 public:
  static const GUID extension_guid;
  static constexpr const char* name = "Volume control (vertical)";
  static constexpr const char* category = "Panels";
  static constexpr uint32_t type = extension_type_panel;
  static WindowClassRef& window_class();

  // The host window's procedure, reached through its class's object dispatch.
  LRESULT handle_host_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  VolumePanel() = default;
  ~VolumePanel() = default;

 private:
  friend class ExtensionWindowBase<VolumePanel>;

  void on_create(HWND window);
  void on_destroy(HWND window);
  void on_scroll(WPARAM wparam);

  // The fields, in the order the framework's panel objects have them; the
  // reference count follows (CountedWindow).
  HWND previous_focus_ = nullptr;  // lost the focus when the host window last got it
  std::atomic<HWND> host_window_{nullptr};
  HWND trackbar_ = nullptr;
  ExtensionHost* host_ = nullptr;  // holds the window now; not counted
};

// The host windows' class; defined in module.cpp.
extern WindowClassRef panel_window_class;

}  // namespace dwx
