// The horizontal volume slider offered as a toolbar: the extension-window
// object, its host window and the trackbar inside, whose mouse handling is
// the component's own.
#pragma once

#include <windows.h>

#include <atomic>

#include "frame/window_class.h"
#include "ui/slider_host.h"
#include "ui/tracking_tooltip.h"

namespace dwx {

// The host window's class; made with the other globals, in the order
// that tears them down (module.cpp).
extern WindowClassRef toolbar_window_class;

// The trackbar's mouse handling is the component's own: the registry holds
// the trackbar itself, whose subclass passes a broadcast on. A trackbar that
// could not be subclassed would drop the update another thread's broadcast
// notifies it of, so then the registry holds the host window, which passes
// levels on to the trackbar.
class VolumeToolbar : public SliderHost<VolumeToolbar, Horizontal> {
 public:
  static const ExtensionDescription description;
  static WindowClassRef& window_class() { return toolbar_window_class; }

  // The host window's procedure, reached through its class's object dispatch.
  LRESULT handle_host_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // The trackbar's procedure once subclassed; the object is in its user data.
  static LRESULT CALLBACK trackbar_procedure(HWND trackbar, UINT message, WPARAM wparam,
                                             LPARAM lparam);

 protected:
  VolumeToolbar() = default;  // made by CountedWindow alone

 private:
  friend class ExtensionWindowBase<VolumeToolbar>;
  friend class SliderHost<VolumeToolbar, Horizontal>;

  // Host window (volume_toolbar.cpp).
  HWND registry_entry(HWND window) const {
    return previous_procedure_ != nullptr ? trackbar_ : window;
  }
  WNDPROC trackbar_own_procedure() const { return previous_procedure_; }
  void before_registering();
  void on_destroy();
  void let_go_elsewhere(HWND window);

  // Trackbar subclass (volume_toolbar_mouse.cpp). The handlers answer true
  // when they have dealt with the message, false when it goes on to the
  // trackbar's own procedure.
  LRESULT handle_trackbar_message(HWND trackbar, UINT message, WPARAM wparam, LPARAM lparam);
  void on_button_down(LPARAM lparam);
  bool on_mouse_move(WPARAM wparam, LPARAM lparam);
  void on_button_up();
  bool on_wheel(WPARAM wparam, LPARAM lparam);
  void end_drag();

  // The fields, in the order the framework's toolbar objects have them; the
  // reference count follows (CountedWindow).
  UINT last_message_ = 0;   // the last mouse message the trackbar handled
  WPARAM last_wparam_ = 0;  // of the last handled mouse move
  LPARAM last_lparam_ = 0;
  HWND previous_focus_ = nullptr;  // had the focus before the host window took it
  std::atomic<HWND> host_window_{nullptr};
  HWND trackbar_ = nullptr;
  TrackingTooltip tooltip_;               // shown from a press to the end of that drag
  WNDPROC previous_procedure_ = nullptr;  // the trackbar's own
  bool dragging_ = false;
  ExtensionHost* host_ = nullptr;  // holds the window now; not counted
};

}  // namespace dwx
