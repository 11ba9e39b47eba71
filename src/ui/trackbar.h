// The trackbar controls the sliders create, spoken to through utf8api.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>

#include "host/utf8api.h"

namespace dwx {

// Both sliders span the whole volume scale, one position per level.
constexpr int32_t trackbar_range_max = 1000;
// A line (an arrow key, a wheel line) and a page of the sliders, in levels.
constexpr int32_t trackbar_line = 10, trackbar_page = 100;

// The scroll codes of a move by a line or a page or to an end, which the
// trackbar has made before it tells of it.
inline bool moves_by_step(WORD code) {
  return code == TB_LINEUP || code == TB_LINEDOWN || code == TB_PAGEUP || code == TB_PAGEDOWN ||
         code == TB_TOP || code == TB_BOTTOM;
}

// A trackbar the component created; it does not own the window.
class Trackbar {
 public:
  explicit Trackbar(HWND window) : window_(window) {}

  void set_range_without_redraw(int32_t low, int32_t high) {
    send(TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
  }
  void set_pos(int32_t position) { send(TBM_SETPOS, TRUE, position); }
  void set_steps() {
    send(TBM_SETLINESIZE, 0, trackbar_line);
    send(TBM_SETPAGESIZE, 0, trackbar_page);
  }
  int32_t pos() const { return static_cast<int32_t>(send(TBM_GETPOS, 0, 0)); }
  int32_t range_max() const { return static_cast<int32_t>(send(TBM_GETRANGEMAX, 0, 0)); }
  RECT channel_rect() const { return rect(TBM_GETCHANNELRECT); }
  RECT thumb_rect() const { return rect(TBM_GETTHUMBRECT); }

 private:
  LRESULT send(UINT message, WPARAM wparam, LPARAM lparam) const {
    return uSendMessage(window_, message, wparam, lparam);
  }
  RECT rect(UINT message) const {
    RECT r = {};
    send(message, 0, reinterpret_cast<LPARAM>(&r));
    return r;
  }

  HWND window_;
};

// A visible trackbar at (0, 0), child of `parent`, range not yet set; null
// when the control cannot be created. The common controls must have been
// initialised by the host: the component only names the class.
HWND create_trackbar(HWND parent, DWORD style, int width, int height);

// Gives the trackbar the parent's new client size, from WM_SIZE's lParam.
void fit_trackbar(HWND trackbar, LPARAM client_size);

}  // namespace dwx
