// A toolbar slider placed in the host's main window, sized so that its drag
// span is exactly 1000 pixels: one pixel per level, so a drag to
// span_left + L sets level L. The numbers are worked out by hand from the
// slider's rules and Wine's trackbar, which the fixture checks.
#pragma once

#include <memory>

#include "ui/slider_fixture.h"

class ToolbarTest : public SliderTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // utf8api's answer to IsUnicode() while the toolbar lives: 1 wide, 0 ANSI.
  virtual int unicode_mode() { return 1; }

  // Client x on the trackbar where a drag gives `level`.
  int x_for(int level) const { return span_left + level; }
  LPARAM at(int x) const { return MAKELPARAM(x, y); }
  POINT screen_point(int x) const;

  // The messages Windows would send the trackbar, with the button state in wParam.
  LRESULT press(int x) { return to_trackbar(WM_LBUTTONDOWN, MK_LBUTTON, at(x)); }
  LRESULT move(int x) { return to_trackbar(WM_MOUSEMOVE, MK_LBUTTON, at(x)); }
  LRESULT release(int x) { return to_trackbar(WM_LBUTTONUP, 0, at(x)); }
  LRESULT right_up(int x) { return to_trackbar(WM_RBUTTONUP, 0, at(x)); }
  LRESULT to_trackbar(UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT escape();

  // Where the focus sits before a drag borrows it.
  void focus_elsewhere() { SetFocus(focus_holder); }

  // The sends the component made to the tooltip and the trackbar since the
  // last clear, and what it passed on to the trackbar's own procedure.
  testing_support::MessageSequence to_tooltip(HWND tooltip) const {
    return calls->sent_to(tooltip);
  }
  size_t passed_on(UINT message) const { return calls->passed_on(trackbar).count(message); }

  standin::ExtensionWindowView toolbar;
  HWND toolbar_window = nullptr;
  HWND trackbar = nullptr;
  HWND focus_holder = nullptr;
  // Wine's trackbar, 30 pixels high, keeps its channel 8 pixels in from
  // each end, and has an 11-pixel thumb. A drag spans the channel less 5
  // pixels, half the thumb, at each end.
  static constexpr int window_width = 1026;
  static constexpr int channel_left = 8, channel_right = 1018;
  static constexpr int span_left = 13, span_right = 1013;
  static_assert(span_right - span_left == 1000, "one pixel per level");
  int y = 0;
  // The host window's scroll, focus and context-menu messages.
  std::unique_ptr<testing_support::WindowSpy> host_spy;
};
