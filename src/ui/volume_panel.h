// The vertical volume slider offered as a panel: the extension-window object
// and its host window, which holds a trackbar with full volume at the top.
#pragma once

#include <windows.h>

#include <atomic>

#include "frame/window_class.h"
#include "ui/slider_host.h"

namespace dwx {

// The host window's class; made with the other globals, in the order
// that tears them down (module.cpp).
extern WindowClassRef panel_window_class;

// A vertical trackbar turns levels over (SliderHost's Vertical). For that
// reason the registry holds the host window, which turns a broadcast over
// before the trackbar gets it. The trackbar keeps its own mouse and keyboard
// handling; its thumb drags and its line, page and end moves set the volume.
// Its subclass is there for assistive technology alone.
class VolumePanel : public SliderHost<VolumePanel, Vertical> {
 public:
  static const ExtensionDescription description;
  static WindowClassRef& window_class() { return panel_window_class; }

  // The host window's procedure, reached through its class's object dispatch.
  LRESULT handle_host_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  // The trackbar's procedure once subclassed: it answers assistive
  // technology and hands everything else to the trackbar's own procedure,
  // which it keeps in the trackbar's user data.
  static LRESULT CALLBACK trackbar_procedure(HWND trackbar, UINT message, WPARAM wparam,
                                             LPARAM lparam);

 protected:
  VolumePanel() = default;  // made by CountedWindow alone

 private:
  friend class ExtensionWindowBase<VolumePanel>;
  friend class SliderHost<VolumePanel, Vertical>;

  HWND registry_entry(HWND window) const { return window; }
  void before_registering();
  // The trackbar's own procedure, behind the subclass; null without one.
  static WNDPROC own_procedure(HWND trackbar) {
    return reinterpret_cast<WNDPROC>(uGetWindowLong(trackbar, GWLP_USERDATA));
  }
  WNDPROC trackbar_own_procedure() const { return own_procedure(trackbar_); }

  // The fields, in the order the framework's panel objects have them; the
  // reference count follows (CountedWindow).
  HWND previous_focus_ = nullptr;  // lost the focus when the host window last got it
  std::atomic<HWND> host_window_{nullptr};
  HWND trackbar_ = nullptr;
  ExtensionHost* host_ = nullptr;  // holds the window now; not counted
};

}  // namespace dwx
