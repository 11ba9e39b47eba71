// The toolbar trackbar's own mouse handling: a press jumps the thumb to the
// cursor, a drag sets the volume at every distinct move under a tracking
// tooltip, the release settles the level, the right button cancels, and the
// wheel steps by the system's wheel setting. The keyboard focus is borrowed
// for the drag, so that Escape reaches the host window, and given back after.
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "ui/accessible_slider.h"
#include "ui/borrowed_focus.h"
#include "ui/level_announcement.h"
#include "ui/level_text.h"
#include "ui/slider_geometry.h"
#include "ui/trackbar.h"
#include "ui/volume_toolbar.h"

namespace dwx {

namespace {

// Mouse positions are signed: left of or above a window they are negative.
POINT point_of(LPARAM lparam) {
  return POINT{static_cast<int16_t>(LOWORD(lparam)), static_cast<int16_t>(HIWORD(lparam))};
}

bool in_client_area(HWND window, POINT point) {
  RECT client;
  GetClientRect(window, &client);
  return PtInRect(&client, point) != FALSE;
}

// Scroll lines per wheel notch, as the user set them: 3 when the system
// says nothing, 20 for "one screen at a time" (and any other negative value).
int32_t wheel_lines() {
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  const auto signed_lines = static_cast<int32_t>(lines);
  return signed_lines < 0 ? 20 : signed_lines;
}

constexpr WPARAM any_button = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

LRESULT CALLBACK VolumeToolbar::trackbar_procedure(HWND trackbar, UINT message, WPARAM wparam,
                                                   LPARAM lparam) {
  auto* toolbar = reinterpret_cast<VolumeToolbar*>(uGetWindowLong(trackbar, GWLP_USERDATA));
  if (toolbar == nullptr) return uDefWindowProc(trackbar, message, wparam, lparam);
  return toolbar->handle_trackbar_message(trackbar, message, wparam, lparam);
}

LRESULT VolumeToolbar::handle_trackbar_message(HWND trackbar, UINT message, WPARAM wparam,
                                               LPARAM lparam) {
  switch (message) {
    case WM_LBUTTONDOWN:
      on_button_down(lparam);
      return 0;
    case WM_MOUSEMOVE:
      if (on_mouse_move(wparam, lparam)) return 0;
      break;
    case WM_LBUTTONUP:
      on_button_up();
      return 0;
    case WM_RBUTTONUP:
      if (dragging_) end_drag();
      break;  // the trackbar sees it too
    case WM_CAPTURECHANGED:
      // Another window took the mouse: without the capture the release will
      // never come here, so the drag ends as the right button ends it.
      if (dragging_ && reinterpret_cast<HWND>(lparam) != trackbar) end_drag();
      break;
    case WM_MBUTTONDOWN:
      return 0;
    case WM_MOUSEWHEEL:
      if (on_wheel(wparam, lparam)) return 0;
      break;
    case TBM_SETPOS: {
      // The component's own thumb moves, and anyone else's, are no news: a
      // broadcast's level is.
      if (!slider_registry.delivering_here()) break;
      const ThumbWatch watch(trackbar, previous_procedure_);
      const LRESULT result =
          uCallWindowProc(previous_procedure_, trackbar, message, wparam, lparam);
      watch.announce_if_moved(true);
      return result;
    }
    case slider_update_message: {
      const ThumbWatch watch(trackbar, previous_procedure_);
      slider_registry.take_update(trackbar, wparam);
      watch.announce_if_moved(false);
      return 0;
    }
    case WM_GETOBJECT:
    case announce_level_message:
    case WM_NCDESTROY: {
      LRESULT result;
      if (handle_accessibility_message(trackbar, message, wparam, lparam, &result)) return result;
      break;
    }
  }
  // Everything else is the trackbar's own business, during a drag too; so is
  // every TBM_SETPOS, the registry's included, once it has been watched.
  return uCallWindowProc(previous_procedure_, trackbar, message, wparam, lparam);
}

void VolumeToolbar::on_button_down(LPARAM lparam) {
  // Recorded first: the move that follows a press is never a repeat.
  last_message_ = WM_LBUTTONDOWN;
  if (!IsWindowEnabled(trackbar_)) return;
  const POINT point = point_of(lparam);
  if (!in_client_area(trackbar_, point)) return;
  Trackbar control(trackbar_);
  int32_t level;
  // A channel too narrow to divide has no place to jump to.
  if (!press_level(point.x, control.channel_rect(), trackbar_range_max, &level)) return;

  dragging_ = true;
  SetCapture(trackbar_);
  // The host window's WM_SETFOCUS records where the focus was.
  SetFocus(host_window_.load());
  // The volume is left alone until the first move or the release.
  control.set_pos(level);
  POINT screen = point;
  ClientToScreen(trackbar_, &screen);
  tooltip_.show(host_window_.load(), level_text(level).c_str(), screen);
}

bool VolumeToolbar::on_mouse_move(WPARAM wparam, LPARAM lparam) {
  if (!dragging_) return false;
  // The system repeats a move when nothing moved (a window appearing under
  // the cursor, for one): dropped before any work.
  if (last_message_ == WM_MOUSEMOVE && wparam == last_wparam_ && lparam == last_lparam_) {
    return false;
  }
  last_wparam_ = wparam;
  last_lparam_ = lparam;
  last_message_ = WM_MOUSEMOVE;
  if (!IsWindowEnabled(trackbar_)) return true;

  const POINT point = point_of(lparam);
  Trackbar control(trackbar_);
  const DragSpan span = drag_span(control.channel_rect(), control.thumb_rect());
  int32_t level;
  // With no span left for the thumb there is no level to set or show.
  if (!drag_level(point.x, span, trackbar_range_max, &level)) return true;

  control.set_pos(level);
  set_level(level);
  // The text changes before the tip moves: a tracking tip shows the text it
  // holds when it is positioned, and Wine's tooltip does not redraw on a
  // text change alone, which would leave the text a move behind the thumb.
  tooltip_.set_text(host_window_.load(), level_text(level).c_str());
  // The tooltip follows the cursor, not the thumb, beyond the ends too.
  POINT screen = point;
  ClientToScreen(trackbar_, &screen);
  tooltip_.move(screen);
  return true;
}

void VolumeToolbar::on_button_up() {
  if (!dragging_) return;  // a release without a press here is swallowed
  const int32_t position = Trackbar(trackbar_).pos();
  // The host window sets the volume before this returns.
  uSendMessage(host_window_.load(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position),
               reinterpret_cast<LPARAM>(trackbar_));
  end_drag();
  last_message_ = WM_LBUTTONUP;
}

bool VolumeToolbar::on_wheel(WPARAM wparam, LPARAM lparam) {
  // A wheel turned with a button held is the trackbar's own.
  if ((GET_KEYSTATE_WPARAM(wparam) & any_button) != 0) return false;
  POINT point = point_of(lparam);  // screen coordinates
  ScreenToClient(trackbar_, &point);
  if (!in_client_area(trackbar_, point)) return false;

  const int32_t step = wheel_step(GET_WHEEL_DELTA_WPARAM(wparam), wheel_lines());
  Trackbar control(trackbar_);
  const int32_t current = control.pos();
  const int32_t next = limit_to_range(current + step, trackbar_range_max);
  if (next != current) {
    control.set_pos(next);
    uSendMessage(host_window_.load(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, next),
                 reinterpret_cast<LPARAM>(trackbar_));
  }
  return true;
}

void VolumeToolbar::end_drag() {
  tooltip_.hide();
  // Cleared before the capture goes: releasing it sends WM_CAPTURECHANGED
  // here, which must not end the drag a second time.
  dragging_ = false;
  if (trackbar_ != nullptr && GetCapture() == trackbar_) ReleaseCapture();
  restore_focus(previous_focus_);
}

}  // namespace dwx
