// The toolbar's host window: it holds the trackbar, keeps it sized and
// registered, and turns the trackbar's settled positions into volume.
#include "ui/volume_toolbar.h"

#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "ui/borrowed_focus.h"
#include "ui/counted_window.h"
#include "ui/slider_geometry.h"
#include "ui/trackbar.h"

namespace dwx {

const GUID VolumeToolbar::extension_guid = {
    0xCEB9D7DF, 0x1F61, 0x443F, {0xAC, 0x72, 0x65, 0xCD, 0x70, 0x63, 0x08, 0x2A}};

WindowClassRef& VolumeToolbar::window_class() { return toolbar_window_class; }

// Twelve pointer-sized words (48 bytes on 32-bit): the table, eleven fields
// (the drag flag padded) and the count.
static_assert(sizeof(CountedWindow<VolumeToolbar>) == 12 * sizeof(void*),
              "the framework's toolbar object");
static_assert(sizeof(std::atomic<HWND>) == sizeof(HWND), "a plain window handle in memory");

namespace {

// Low enough for a toolbar row, high enough for the thumb.
constexpr LONG minimum_height = 20;

}  // namespace

LRESULT VolumeToolbar::handle_host_message(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      on_create(window);
      break;
    case WM_DESTROY:
      on_destroy();
      break;
    case WM_NCDESTROY:
      forget_host_window(window);
      break;
    case WM_SIZE:
      if (trackbar_ != nullptr) fit_trackbar(trackbar_, lparam);
      break;
    case WM_SETFOCUS:
      previous_focus_ = reinterpret_cast<HWND>(wparam);
      break;
    case WM_GETMINMAXINFO:
      if (trackbar_ != nullptr) {
        reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize.y = minimum_height;
      }
      break;
    case WM_KEYDOWN:
      if (wparam != VK_ESCAPE) break;
      // Without a drag this only gives the focus back.
      end_drag();
      return 0;
    case WM_HSCROLL:
      if (trackbar_ == nullptr || reinterpret_cast<HWND>(lparam) != trackbar_) break;
      on_scroll(wparam);
      return 0;
  }
  return uDefWindowProc(window, message, wparam, lparam);
}

void VolumeToolbar::on_create(HWND window) {
  host_window_.store(window);
  trackbar_ = create_trackbar(window, WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS, 100, 20);
  if (trackbar_ == nullptr) return;  // an empty window is still a window
  Trackbar control(trackbar_);
  control.set_range_without_redraw(0, trackbar_range_max);
  control.set_steps();
  // The first get_volume may open the backend, which broadcasts: that
  // happens before the registry lock is taken and before this trackbar is
  // registered. A target that cannot be read shows silence.
  VolumeLevel level = level_silence;
  volume_backend.get_volume(&level);
  control.set_pos(level);

  // Under the registry lock, so that no broadcast reaches the trackbar
  // between its registration and its subclassing.
  LockGuard guard(slider_registry.lock());
  slider_registry.add(trackbar_);
  uSetWindowLong(trackbar_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previous_procedure_ = reinterpret_cast<WNDPROC>(
      uSetWindowLong(trackbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trackbar_procedure)));
}

void VolumeToolbar::on_destroy() {
  // A drag the window's end cuts short. A popup's owner is always a
  // top-level window, so the tooltip, given this child window as its owner,
  // belongs to the host's top-level window and would outlive this one: it
  // goes now, unless its real owner's destruction took it already. Nothing
  // may reach it from here on, and the next window starts idle.
  if (tooltip_ != nullptr) {
    if (IsWindow(tooltip_)) DestroyWindow(tooltip_);
    tooltip_ = nullptr;
  }
  if (dragging_) {
    dragging_ = false;
    if (trackbar_ != nullptr && GetCapture() == trackbar_) ReleaseCapture();
    // The focus borrowed for the drag goes back, as Escape gives it back:
    // otherwise the player is left with no keyboard focus at all.
    restore_focus(previous_focus_);
  }

  if (trackbar_ == nullptr) return;
  {
    LockGuard guard(slider_registry.lock());
    slider_registry.remove(trackbar_);
  }
  // The subclass stays on the dying trackbar; its last messages go through
  // it to the trackbar's own procedure.
  DestroyWindow(trackbar_);
  trackbar_ = nullptr;
}

void VolumeToolbar::on_scroll(WPARAM wparam) {
  const WORD code = LOWORD(wparam);
  if (moves_by_step(code)) {
    // A key moved the thumb: the volume follows, so that the thumb shows
    // what plays.
    volume_backend.set_volume(Trackbar(trackbar_).pos());
    return;
  }
  if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK) return;
  // Held within the scale: a position from anyone but the trackbar could be
  // anything up to 65535, far beyond full volume.
  volume_backend.set_volume(limit_to_range(HIWORD(wparam), trackbar_range_max));
}

}  // namespace dwx
