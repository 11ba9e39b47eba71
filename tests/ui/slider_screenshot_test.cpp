// A picture of both sliders in a host window mid-drag, tooltip showing, kept
// under the build folder; the picture itself is checked, not just taken.
#include <windows.h>

#include <commctrl.h>

#include "support/screenshot.h"
#include "ui/slider_fixture.h"

namespace {

using testing_support::Picture;

// A rectangle of one window's client area, in the picture's coordinates.
RECT in_picture(HWND window, RECT rect, const RECT& captured) {
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
  OffsetRect(&rect, -captured.left, -captured.top);
  return rect;
}

// The share of pixels inside `rect` that differ between two pictures.
double changed_share(const Picture& a, const Picture& b, const RECT& rect) {
  int changed = 0, total = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      ++total;
      if (a.at(x, y) != b.at(x, y)) ++changed;
    }
  }
  return total ? static_cast<double>(changed) / total : 0.0;
}

// The share of pixels inside `rect` that have exactly this colour.
double colour_share(const Picture& picture, const RECT& rect, COLORREF colour) {
  const uint32_t rgb = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  int matching = 0, total = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      ++total;
      if (picture.at(x, y) == rgb) ++matching;
    }
  }
  return total ? static_cast<double>(matching) / total : 0.0;
}

TEST_F(SliderTest, BothSlidersMidDragShowTheirThumbsWhereTheLevelIsAndTheTooltipUnderTheCursor) {
  standin::ExtensionWindowView toolbar = new_window_object(standin::extension_window::type_toolbar);
  standin::ExtensionWindowView panel = new_window_object(standin::extension_window::type_panel);
  const HWND toolbar_window = place(toolbar, RECT{10, 10, 410, 40});
  const HWND panel_window = place(panel, RECT{424, 10, 454, 210});
  ASSERT_TRUE(toolbar_window && panel_window);
  const HWND toolbar_trackbar = trackbar_in(toolbar_window);
  const HWND panel_trackbar = trackbar_in(panel_window);
  const RECT captured{0, 0, 470, 226};

  const RECT channel = channel_rect(toolbar_trackbar);
  const int y = (channel.top + channel.bottom) / 2;
  auto at = [&](int share) {
    return MAKELPARAM(channel.left + (channel.right - channel.left) * share / 100, y);
  };
  SendMessageW(toolbar_trackbar, WM_LBUTTONDOWN, MK_LBUTTON, at(20));
  SendMessageW(toolbar_trackbar, WM_MOUSEMOVE, MK_LBUTTON, at(25));
  testing_support::flush_events();
  const int low = trackbar_pos(toolbar_trackbar);
  const RECT toolbar_thumb_low =
      in_picture(toolbar_trackbar, thumb_rect(toolbar_trackbar), captured);
  const RECT panel_thumb_low = in_picture(panel_trackbar, thumb_rect(panel_trackbar), captured);
  const Picture at_low = testing_support::capture_screen(captured);

  SendMessageW(toolbar_trackbar, WM_MOUSEMOVE, MK_LBUTTON, at(75));
  testing_support::flush_events();
  const int high = trackbar_pos(toolbar_trackbar);
  const Picture at_high = testing_support::capture_screen(captured);
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  RECT tip;
  GetWindowRect(tooltip, &tip);
  OffsetRect(&tip, -captured.left, -captured.top);
  // The tip shows the level the thumb shows, not the one before: placing it
  // again, which draws what it holds, changes nothing on screen.
  SendMessageW(tooltip, TTM_TRACKPOSITION, 0, calls->sent_to(tooltip).entries().back().lparam);
  testing_support::flush_events();
  EXPECT_EQ(0.0, changed_share(at_high, testing_support::capture_screen(captured), tip));
  const std::string path = testing_support::screenshot_path("sliders_mid_drag.png");
  EXPECT_TRUE(testing_support::save_png(at_high, path)) << path;

  ASSERT_GT(high, low + 300);
  ASSERT_EQ(1000 - high, trackbar_pos(panel_trackbar)) << "the panel follows the drag";
  // Where each thumb stood at the lower level, the picture changed when it moved.
  EXPECT_GT(changed_share(at_low, at_high, toolbar_thumb_low), 0.3);
  EXPECT_GT(changed_share(at_low, at_high, panel_thumb_low), 0.3);
  // And the tooltip is on screen, on its own background, inside the picture.
  ASSERT_LE(tip.bottom, captured.bottom);
  EXPECT_GT(colour_share(at_high, tip, GetSysColor(COLOR_INFOBK)), 0.5);
  EXPECT_EQ(0.0, colour_share(at_low, RECT{0, 0, 1, 1}, GetSysColor(COLOR_INFOBK)));

  SendMessageW(toolbar_trackbar, WM_LBUTTONUP, 0, at(75));
}

}  // namespace
