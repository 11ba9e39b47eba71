// The panel's host window: it holds the vertical trackbar, stands in for it
// in the slider registry, and turns levels over on their way in and out.
#include "ui/volume_panel.h"

#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "ui/borrowed_focus.h"
#include "ui/counted_window.h"
#include "ui/slider_geometry.h"
#include "ui/trackbar.h"

namespace dwx {

const GUID VolumePanel::extension_guid = {
    0xCBD4748E, 0x6920, 0x4217, {0xBE, 0x90, 0x19, 0x3E, 0xAB, 0x0C, 0xCC, 0x9D}};

WindowClassRef& VolumePanel::window_class() { return panel_window_class; }

// Six pointer-sized words (24 bytes on 32-bit): the table, four fields and the count.
static_assert(sizeof(CountedWindow<VolumePanel>) == 6 * sizeof(void*),
              "the framework's panel object");

namespace {

// Position 0, the top, is full volume. Held within the scale first, so that
// any level, however far out, turns into a position without overflow.
int32_t turn_over(int32_t value) {
  return trackbar_range_max - limit_to_range(value, trackbar_range_max);
}

}  // namespace

LRESULT VolumePanel::handle_host_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      on_create(window);
      break;
    case WM_DESTROY:
      on_destroy(window);
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
    case WM_KEYDOWN:
      if (wparam != VK_ESCAPE) break;
      // Ends a thumb drag of the trackbar's own, and gives the focus back.
      if (trackbar_ != nullptr && GetCapture() == trackbar_) ReleaseCapture();
      restore_focus(previous_focus_);
      return 0;
    case WM_VSCROLL:
      if (trackbar_ == nullptr || reinterpret_cast<HWND>(lparam) != trackbar_) break;
      on_scroll(wparam);
      return 0;
    case slider_update_message:
      slider_registry.take_update(window, wparam);
      return 0;
    case TBM_SETPOS:
      // A registry broadcast, or anyone else: the trackbar answers.
      if (trackbar_ == nullptr) break;
      return uSendMessage(trackbar_, TBM_SETPOS, wparam, turn_over(static_cast<int32_t>(lparam)));
  }
  return uDefWindowProc(window, message, wparam, lparam);
}

void VolumePanel::on_create(HWND window) {
  host_window_.store(window);
  trackbar_ =
      create_trackbar(window, WS_CHILD | WS_VISIBLE | TBS_VERT | TBS_BOTH | TBS_NOTICKS, 20, 100);
  if (trackbar_ == nullptr) return;  // an empty window is still a window
  Trackbar control(trackbar_);
  control.set_range_without_redraw(0, trackbar_range_max);
  control.set_steps();
  // get_volume may open the backend and broadcast: before the registry lock.
  // A target that cannot be read shows silence.
  VolumeLevel level = level_silence;
  volume_backend.get_volume(&level);
  control.set_pos(turn_over(level));
  LockGuard guard(slider_registry.lock());
  slider_registry.add(window);
}

void VolumePanel::on_destroy(HWND window) {
  if (trackbar_ == nullptr) return;
  {
    // The window itself, not host_window_: destroy_window has already taken
    // that handle away when this runs.
    LockGuard guard(slider_registry.lock());
    slider_registry.remove(window);
  }
  DestroyWindow(trackbar_);
  trackbar_ = nullptr;
}

void VolumePanel::on_scroll(WPARAM wparam) {
  const WORD code = LOWORD(wparam);
  if (moves_by_step(code)) {
    // A key, the wheel or a click beside the thumb moved it: the volume
    // follows, so that the thumb shows what plays.
    volume_backend.set_volume(turn_over(Trackbar(trackbar_).pos()));
    return;
  }
  if (code != TB_THUMBPOSITION && code != TB_THUMBTRACK) return;
  // Held within the scale: a position from anyone but the trackbar could be
  // anything up to 65535, which turned over is far below silence.
  volume_backend.set_volume(turn_over(HIWORD(wparam)));
}

}  // namespace dwx
