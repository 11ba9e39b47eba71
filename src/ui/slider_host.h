// What the toolbar's and the panel's host windows share: a trackbar over the
// whole scale that fills the window, its place in the slider registry, the
// focus the window records, and the thumb scrolls that set the volume.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "ui/accessible_slider.h"
#include "ui/extension_window_base.h"
#include "ui/level_announcement.h"
#include "ui/slider_geometry.h"
#include "ui/trackbar.h"

namespace dwx {

// A trackbar's direction decides its style, its size until the first
// WM_SIZE, the message it reports scrolls with, and how levels map onto its
// positions, both ways. A horizontal one grows rightwards, as the scale
// does. A vertical one grows downwards, so every level is turned over
// (1000 - level) on its way to the control and back. Either way a value
// from outside, however far out, comes back within the scale: a scroll
// position from anyone but the trackbar could be anything up to 65535.
struct Horizontal {
  static constexpr DWORD style = 0;
  static constexpr SIZE first_size = {100, 20};
  static constexpr UINT scroll_message = WM_HSCROLL;
  static int32_t position_of(int32_t level) { return level; }
  static int32_t level_at(int32_t position) { return limit_to_range(position, trackbar_range_max); }
};
struct Vertical {
  static constexpr DWORD style = TBS_VERT;
  static constexpr SIZE first_size = {20, 100};
  static constexpr UINT scroll_message = WM_VSCROLL;
  // Position 0, the top, is full volume. Held within the scale first, so
  // that turning over cannot overflow.
  static int32_t position_of(int32_t level) {
    return trackbar_range_max - limit_to_range(level, trackbar_range_max);
  }
  static int32_t level_at(int32_t position) { return position_of(position); }
};

// Window is the concrete slider, as for ExtensionWindowBase, and Direction
// one of the two above; this layer adds no fields either. It reaches
// Window's `host_window_`, `trackbar_` and `previous_focus_`, and
//   HWND registry_entry(HWND window);  // the host window or its trackbar
//   WNDPROC trackbar_own_procedure();  // behind the trackbar's subclass
// and, if it has one, `void before_registering()`, run under the registry
// lock right before the slider joins it, which may decide its entry.
// Window's own host window procedure handles what is its alone and hands
// every other message, WM_DESTROY after its own part, to
// handle_slider_message.
template <class Window, class Direction>
class SliderHost : public ExtensionWindowBase<Window> {
 protected:
  SliderHost() = default;
  ~SliderHost() = default;

  LRESULT handle_slider_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  // Nothing else to set up under the registry lock.
  void before_registering() {}
  // The window is another thread's, let go of from here: it leaves the
  // registry now, so that no broadcast reaches its handle once it has gone
  // (when the system may have given it to someone else's window), and its
  // trackbar goes with it there.
  void let_go_elsewhere(HWND window);
  // The slider's own input sets the volume, and is heard.
  void set_level(VolumeLevel level) {
    set_volume_announced(self().trackbar_, self().trackbar_own_procedure(), level);
  }

 private:
  void create_trackbar_in(HWND window);
  void destroy_trackbar(HWND window);
  void leave_registry(HWND window);
  void on_scroll(WPARAM wparam);

  Window& self() { return static_cast<Window&>(*this); }
};

template <class Window, class Direction>
LRESULT SliderHost<Window, Direction>::handle_slider_message(HWND window, UINT message,
                                                             WPARAM wparam, LPARAM lparam) {
  Window& slider = self();
  switch (message) {
    case WM_CREATE:
      create_trackbar_in(window);
      break;
    case WM_DESTROY:
      destroy_trackbar(window);
      break;
    case WM_NCDESTROY:
      this->forget_host_window(window);
      break;
    case WM_SIZE:
      if (slider.trackbar_ != nullptr) fit_trackbar(slider.trackbar_, lparam);
      break;
    case WM_SETFOCUS:
      slider.previous_focus_ = reinterpret_cast<HWND>(wparam);
      break;
    case Direction::scroll_message:
      if (slider.trackbar_ == nullptr || reinterpret_cast<HWND>(lparam) != slider.trackbar_) break;
      on_scroll(wparam);
      return 0;
  }
  return uDefWindowProc(window, message, wparam, lparam);
}

template <class Window, class Direction>
void SliderHost<Window, Direction>::create_trackbar_in(HWND window) {
  Window& slider = self();
  slider.host_window_.store(window);
  slider.trackbar_ =
      create_trackbar(window, WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS | Direction::style,
                      Direction::first_size.cx, Direction::first_size.cy);
  if (slider.trackbar_ == nullptr) return;  // an empty window is still a window
  Trackbar control(slider.trackbar_);
  control.set_range_without_redraw(0, trackbar_range_max);
  control.set_steps();
  // The first get_volume may open the backend, which broadcasts: that
  // happens before the registry lock is taken and before this slider is
  // registered. A target that cannot be read shows silence.
  const uint32_t seen = slider_registry.updates();
  VolumeLevel level = level_silence;
  volume_backend.get_volume(&level);
  control.set_pos(Direction::position_of(level));

  LockGuard guard(slider_registry.lock());
  slider.before_registering();
  slider_registry.add(slider.registry_entry(window));
  // A broadcast since `seen` has not reached this slider. When a host
  // report on another thread made it while the level was being read, its
  // level is the newer one.
  if (slider_registry.broadcast_since(seen, &level)) control.set_pos(Direction::position_of(level));
}

template <class Window, class Direction>
void SliderHost<Window, Direction>::destroy_trackbar(HWND window) {
  Window& slider = self();
  if (slider.trackbar_ == nullptr) return;
  leave_registry(window);
  DestroyWindow(slider.trackbar_);
  slider.trackbar_ = nullptr;
}

// The window itself, not host_window_: destroy_window has already taken that
// handle away when the window's end runs.
template <class Window, class Direction>
void SliderHost<Window, Direction>::leave_registry(HWND window) {
  LockGuard guard(slider_registry.lock());
  slider_registry.remove(self().registry_entry(window));
}

template <class Window, class Direction>
void SliderHost<Window, Direction>::let_go_elsewhere(HWND window) {
  Window& slider = self();
  if (slider.trackbar_ == nullptr) return;
  leave_registry(window);
  // Its end will not reach the subclass, which is gone by then.
  disconnect_accessible(slider.trackbar_);
  slider.trackbar_ = nullptr;
}

template <class Window, class Direction>
void SliderHost<Window, Direction>::on_scroll(WPARAM wparam) {
  const WORD code = LOWORD(wparam);
  if (moves_by_step(code)) {
    // A key, the wheel or a click beside the thumb moved it: the volume
    // follows, so that the thumb shows what plays.
    set_level(Direction::level_at(Trackbar(self().trackbar_).pos()));
    return;
  }
  if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK) return;
  set_level(Direction::level_at(HIWORD(wparam)));
}

}  // namespace dwx
