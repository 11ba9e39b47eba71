// The toolbar's host window: its size, its minimum height, the levels it
// settles from the trackbar's scroll messages, and the tooltip's texts.
#include <windows.h>

#include <commctrl.h>

#include "backend/volume_scale.h"
#include "ui/toolbar_fixture.h"

namespace {

TEST_F(ToolbarTest, TheTrackbarShowsTheLevelItWasCreatedWith) {
  set_host_level(500);
  standin::ExtensionWindowView other = new_window_object(standin::extension_window::type_toolbar);
  const HWND window = place(other, RECT{10, 60, 400, 90});
  EXPECT_EQ(500, trackbar_pos(trackbar_in(window)));
}

TEST_F(ToolbarTest, TheTrackbarFillsTheWindowAsItIsResized) {
  SetWindowPos(toolbar_window, nullptr, 0, 0, 600, 26, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rect;
  GetWindowRect(trackbar, &rect);
  MapWindowPoints(nullptr, toolbar_window, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(0, rect.left);
  EXPECT_EQ(0, rect.top);
  EXPECT_EQ(600, rect.right);
  EXPECT_EQ(26, rect.bottom);
}

TEST_F(ToolbarTest, TheWindowAsksForAMinimumHeightOf20) {
  MINMAXINFO limits = {};
  limits.ptMinTrackSize = POINT{7, 9};
  limits.ptMaxTrackSize = POINT{3000, 3000};
  SendMessageW(toolbar_window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(20, limits.ptMinTrackSize.y);
  EXPECT_EQ(7, limits.ptMinTrackSize.x) << "the width is left alone";
  EXPECT_EQ(3000, limits.ptMaxTrackSize.y);
}

TEST_F(ToolbarTest, ThumbScrollsSetTheirPositionAndStepsTheThumbs) {
  const LPARAM from_trackbar = reinterpret_cast<LPARAM>(trackbar);
  struct Case {
    WORD code;
    WORD position;
    LPARAM from;
    std::vector<int> sets;
  };
  // The thumb stands at 420; a step has moved it before it tells of it.
  const Case cases[] = {
      {TB_THUMBTRACK, 300, from_trackbar, {300}},
      {TB_THUMBPOSITION, 301, from_trackbar, {301}},
      {TB_LINEDOWN, 302, from_trackbar, {420}},
      {TB_PAGEUP, 303, from_trackbar, {420}},
      {TB_TOP, 304, from_trackbar, {420}},
      {TB_ENDTRACK, 305, from_trackbar, {}},
      {TB_THUMBPOSITION, 306, reinterpret_cast<LPARAM>(container), {}},
  };
  for (const Case& c : cases) {
    SendMessageW(trackbar, TBM_SETPOS, TRUE, 420);
    host.clear_records();
    EXPECT_EQ(0, SendMessageW(toolbar_window, WM_HSCROLL, MAKEWPARAM(c.code, c.position), c.from))
        << "code " << c.code;
    EXPECT_EQ(hdb_for(c.sets), host.volume_sets()) << "code " << c.code;
  }
}

TEST_F(ToolbarTest, KeysMoveTheVolumeByLinesPagesAndToTheEnds) {
  const struct {
    const char* key;
    WPARAM code;
    int level;
  } cases[] = {{"Right", VK_RIGHT, 510},   {"Left", VK_LEFT, 490}, {"Page Down", VK_NEXT, 600},
               {"Page Up", VK_PRIOR, 400}, {"Home", VK_HOME, 0},   {"End", VK_END, 1000}};
  for (const auto& c : cases) {
    set_host_level(500);
    host.clear_records();
    SendMessageW(trackbar, WM_KEYDOWN, c.code, 0x00010001);
    EXPECT_EQ(hdb_for({c.level}), host.volume_sets()) << c.key;
    EXPECT_EQ(c.level, trackbar_pos(trackbar)) << c.key << ": the thumb shows it";
  }
}

TEST_F(ToolbarTest, AScrollPositionBeyondTheScaleSetsFullVolumeNotMore) {
  SendMessageW(toolbar_window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 2000),
               reinterpret_cast<LPARAM>(trackbar));
  // 2000 would be +6.02 dB, above what the host calls full.
  EXPECT_EQ(std::vector<int>{0}, host.volume_sets());
}

TEST_F(ToolbarTest, TheTooltipShowsDecibelsOfTheHostVolume) {
  press(x_for(10));
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  const struct {
    int level;
    const char* text;
  } cases[] = {{1000, "0.00 dB"}, {999, "0.00 dB"},  {950, "-0.44 dB"},
               {707, "-3.01 dB"}, {500, "-6.02 dB"}, {100, "-20.00 dB"},
               {2, "-53.97 dB"},  {1, "-60.00 dB"},  {0, "-60.00 dB"}};
  for (const auto& c : cases) {
    move(x_for(c.level));
    EXPECT_EQ(c.text, tooltip_text(tooltip, toolbar_window)) << "level " << c.level;
  }
}

// The same slider with utf8api choosing the ANSI forms of the calls.
class AnsiToolbarTest : public ToolbarTest {
 protected:
  int unicode_mode() override { return 0; }
};

TEST_F(AnsiToolbarTest, TheTooltipGetsItsTextInTheAnsiForm) {
  press(x_for(100));
  move(x_for(500));
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  EXPECT_EQ("-6.02 dB", tooltip_text(tooltip, toolbar_window));
  const testing_support::MessageSequence sent = calls->sent_to(tooltip);
  EXPECT_EQ(1u, sent.count(TTM_ADDTOOLA));
  EXPECT_EQ(1u, sent.count(TTM_UPDATETIPTEXTA));
  EXPECT_EQ(0u, sent.count(TTM_ADDTOOLW) + sent.count(TTM_UPDATETIPTEXTW));
  release(x_for(500));
  EXPECT_EQ(hdb_for({500, 500}), host.volume_sets());
}

TEST_F(SliderTest, AToolbarWithoutATrackbarIsAnEmptyWindowThatAsksForNothing) {
  refuse_trackbars();
  standin::ExtensionWindowView toolbar = new_window_object(standin::extension_window::type_toolbar);
  const HWND window = place(toolbar, RECT{10, 10, 400, 40});
  ASSERT_NE(nullptr, window) << "the window is still made";
  EXPECT_EQ(nullptr, GetWindow(window, GW_CHILD));
  MINMAXINFO limits = {};
  limits.ptMinTrackSize = POINT{7, 9};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(9, limits.ptMinTrackSize.y);
  SetWindowPos(window, nullptr, 0, 0, 300, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(0, SendMessageW(window, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 300), 0));
  EXPECT_EQ(0, SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0));
  calls->clear();
  set_host_level(400);
  EXPECT_TRUE(calls->sends.empty()) << "nothing registered";
  EXPECT_TRUE(host.volume_sets().empty());
  toolbar.destroy();
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
