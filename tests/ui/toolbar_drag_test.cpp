// The toolbar's own mouse handling: press, drag, release, cancel, and the
// focus and capture it borrows, driven with the messages Windows would send.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <iterator>
#include <vector>

#include "ui/slider_fixture.h"

namespace {

using testing_support::MessageEntry;
using testing_support::msg_only;
using testing_support::msg_optional;
using testing_support::msg_wparam;
using testing_support::sequence_is;
using testing_support::sequence_is_empty;

// The host window during a press and release: it takes the focus, settles
// the level, and gives the focus back. Wine's trackbar answers the capture
// it loses with a TB_ENDTRACK of its own.
const MessageEntry press_and_release[] = {
    {WM_SETFOCUS, msg_only},
    {WM_HSCROLL, msg_only},
    {WM_HSCROLL, msg_wparam | msg_optional, TB_ENDTRACK},
    {WM_KILLFOCUS, msg_only},
};

// A drag ended without settling: no scroll message but the trackbar's own.
const MessageEntry press_and_cancel[] = {
    {WM_SETFOCUS, msg_only},
    {WM_HSCROLL, msg_wparam | msg_optional, TB_ENDTRACK},
    {WM_KILLFOCUS, msg_only},
};

// The same by the right button, which then goes on to the trackbar, whose
// default handling asks its parent for a context menu.
const MessageEntry press_and_right_cancel[] = {
    {WM_SETFOCUS, msg_only},
    {WM_HSCROLL, msg_wparam | msg_optional, TB_ENDTRACK},
    {WM_KILLFOCUS, msg_only},
    {WM_CONTEXTMENU, msg_optional},
};

TEST_F(ToolbarTest, PressJumpsTheThumbAndTheReleaseSettlesTheLevel) {
  const int x = x_for(250);
  EXPECT_EQ(0, press(x));
  const int pressed = trackbar_pos(trackbar);
  EXPECT_EQ(253, pressed) << "the press maps the whole channel, not the span";
  EXPECT_TRUE(host.volume_sets().empty()) << "a press sets nothing";
  EXPECT_EQ(trackbar, GetCapture());
  EXPECT_EQ(toolbar_window, GetFocus());
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  EXPECT_TRUE(IsWindowVisible(tooltip));
  EXPECT_EQ("-11.93 dB", tooltip_text(tooltip, toolbar_window));
  const POINT cursor = screen_point(x);
  static const MessageEntry shown[] = {
      {TTM_ADDTOOLW, msg_only},
      {TTM_TRACKPOSITION, msg_only},
      {TTM_TRACKACTIVATE, msg_wparam, TRUE},
  };
  EXPECT_TRUE(sequence_is(to_tooltip(tooltip), shown));
  EXPECT_EQ(MAKELPARAM(cursor.x, cursor.y + 21), to_tooltip(tooltip)[1].lparam)
      << "21 pixels under the cursor";

  EXPECT_EQ(0, release(x));
  EXPECT_EQ(hdb_for({pressed}), host.volume_sets());
  EXPECT_FALSE(IsWindow(tooltip));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(focus_holder, GetFocus());
  EXPECT_TRUE(sequence_is(host_spy->seen(), press_and_release));
  const MessageEntry& settled = host_spy->seen()[1];
  EXPECT_EQ(MAKEWPARAM(TB_THUMBPOSITION, pressed), settled.wparam);
  EXPECT_EQ(reinterpret_cast<LPARAM>(trackbar), settled.lparam);
  EXPECT_EQ(0u, passed_on(WM_LBUTTONDOWN) + passed_on(WM_LBUTTONUP));
}

TEST_F(ToolbarTest, APressDividesTheWholeChannelAndShowsALevelOnTheScale) {
  struct Case {
    int x;
    int level;
    const char* text;
  };
  // Over the channel, 8 to 1018: (x - 8) × 1001 / 1009, rounded. A drag's
  // span, 13 to 1013, would give 0, 250 and 1000 for the first three. The
  // channel's last pixel computes to 1001, and left of the channel the
  // level is negative: both thumb and text stay on the scale.
  const Case cases[] = {
      {13, 5, "-46.02 dB"},    {263, 253, "-11.93 dB"}, {1013, 997, "-0.02 dB"},
      {8, 0, "-60.00 dB"},     {1017, 1000, "0.00 dB"}, {2, 0, "-60.00 dB"},
      {1021, 1000, "0.00 dB"},
  };
  for (const Case& c : cases) {
    press(c.x);
    EXPECT_EQ(c.level, trackbar_pos(trackbar)) << "x " << c.x;
    EXPECT_EQ(c.text, tooltip_text(tooltip_of(toolbar_window), toolbar_window)) << "x " << c.x;
    right_up(c.x);
  }
}

TEST_F(ToolbarTest, EachDistinctMoveSetsTheVolumeAndTheTooltipFollowsTheCursor) {
  press(x_for(100));
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  const struct {
    int level;
    const char* text;
  } moves[] = {{250, "-12.04 dB"}, {750, "-2.49 dB"}, {500, "-6.02 dB"}};
  for (const auto& [level, text] : moves) {
    calls->clear();
    EXPECT_EQ(0, move(x_for(level)));
    EXPECT_EQ(level, trackbar_pos(trackbar));
    EXPECT_EQ(text, tooltip_text(tooltip, toolbar_window));
    const POINT cursor = screen_point(x_for(level));
    // The new text first: the tip shows what it holds when it is placed.
    static const MessageEntry followed[] = {
        {TTM_UPDATETIPTEXTW, msg_only},
        {TTM_TRACKPOSITION, msg_only},
    };
    EXPECT_TRUE(sequence_is(to_tooltip(tooltip), followed));
    EXPECT_EQ(MAKELPARAM(cursor.x, cursor.y + 21), to_tooltip(tooltip)[1].lparam);
    RECT placed;
    GetWindowRect(tooltip, &placed);
    // Wine draws the tip a pixel up and left of the point it is given.
    EXPECT_NEAR(cursor.x, placed.left, 2);
    EXPECT_NEAR(cursor.y + 21, placed.top, 2);
  }
  EXPECT_EQ(hdb_for({250, 750, 500}), host.volume_sets());
  EXPECT_EQ(0u, passed_on(WM_MOUSEMOVE));
  release(x_for(500));
  EXPECT_EQ(hdb_for({250, 750, 500, 500}), host.volume_sets()) << "the release settles again";
}

TEST_F(ToolbarTest, DraggingPastEitherEndGivesExactlyTheEndsWhileTheTooltipFollows) {
  press(x_for(500));
  const HWND tooltip = tooltip_of(toolbar_window);
  struct Case {
    int x;
    int level;
    const char* text;
  };
  const Case cases[] = {{span_left - 40, 0, "-60.00 dB"},
                        {span_left, 0, "-60.00 dB"},
                        {span_right + 60, 1000, "0.00 dB"},
                        {span_right, 1000, "0.00 dB"}};
  for (const Case& c : cases) {
    calls->clear();
    move(c.x);
    EXPECT_EQ(c.level, trackbar_pos(trackbar)) << "x " << c.x;
    EXPECT_EQ(c.text, tooltip_text(tooltip, toolbar_window)) << "x " << c.x;
    const POINT cursor = screen_point(c.x);
    ASSERT_EQ(2u, to_tooltip(tooltip).size());
    EXPECT_EQ(MAKELPARAM(cursor.x, cursor.y + 21), to_tooltip(tooltip)[1].lparam)
        << "the tooltip stays with the cursor, x " << c.x;
  }
  EXPECT_EQ(hdb_for({0, 0, 1000, 1000}), host.volume_sets());
}

TEST_F(ToolbarTest, ARepeatedMoveIsPassedOnAndChangesNothing) {
  press(x_for(100));
  move(x_for(300));
  calls->clear();
  host.clear_records();
  move(x_for(300));
  EXPECT_EQ(1u, passed_on(WM_MOUSEMOVE));
  EXPECT_TRUE(host.volume_sets().empty());
  EXPECT_TRUE(calls->sent_to(tooltip_of(toolbar_window)).empty());
  // The same point with other buttons held is a new move.
  to_trackbar(WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, at(x_for(300)));
  EXPECT_EQ(hdb_for({300}), host.volume_sets());
}

TEST_F(ToolbarTest, TheFirstMoveAfterAPressIsNeverTakenForARepeat) {
  press(x_for(100));
  move(x_for(300));
  release(x_for(300));
  host.clear_records();
  // The same position and buttons as the last handled move, after a new press.
  press(x_for(300));
  move(x_for(300));
  EXPECT_EQ(hdb_for({300}), host.volume_sets());
}

// The ways a drag ends without settling: each keeps the level of the last
// move, takes the tooltip and the capture away and gives the focus back;
// later moves and releases change nothing until the next press.
TEST_F(ToolbarTest, ADragEndedWithoutSettlingKeepsTheLastMovedLevel) {
  // The drag ends before the trackbar hears of the lost capture.
  static const MessageEntry capture_lost[] = {
      {WM_SETFOCUS, msg_only},
      {WM_KILLFOCUS, msg_only},
      {WM_HSCROLL, msg_wparam | msg_optional, TB_ENDTRACK},
  };
  const struct {
    const char* how;
    std::function<void()> end;
    std::vector<MessageEntry> host_window_sees;
    UINT also_passed_on;  // to the trackbar, or 0
  } cases[] = {
      {"the right button",
       [&] { EXPECT_EQ(0, right_up(x_for(300))); },
       {std::begin(press_and_right_cancel), std::end(press_and_right_cancel)},
       WM_RBUTTONUP},
      {"Escape",
       [&] { EXPECT_EQ(0, escape()); },
       {std::begin(press_and_cancel), std::end(press_and_cancel)},
       0},
      {"another window taking the capture",
       [&] { SetCapture(host.main_window()); },
       {std::begin(capture_lost), std::end(capture_lost)},
       WM_CAPTURECHANGED},
      // The system cancels the trackbar's capture.
      {"the trackbar disabled",
       [&] { EnableWindow(trackbar, FALSE); },
       {std::begin(capture_lost), std::end(capture_lost)},
       WM_CAPTURECHANGED},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    host_spy->clear();
    press(x_for(100));
    move(x_for(300));
    calls->clear();
    host.clear_records();
    c.end();
    ReleaseCapture();
    EnableWindow(trackbar, TRUE);
    EXPECT_EQ(nullptr, tooltip_of(toolbar_window));
    EXPECT_EQ(focus_holder, GetFocus());
    EXPECT_TRUE(sequence_is(host_spy->seen(), c.host_window_sees));
    if (c.also_passed_on != 0) {
      EXPECT_EQ(1u, passed_on(c.also_passed_on));
    }
    move(x_for(700));
    release(x_for(700));
    EXPECT_TRUE(host.volume_sets().empty()) << "neither the move nor the release belongs to a drag";
    EXPECT_EQ(300, trackbar_pos(trackbar));
    press(x_for(700));
    move(x_for(650));
    EXPECT_EQ(hdb_for({650}), host.volume_sets()) << "a new press starts a new drag";
    release(x_for(650));
  }
}

TEST_F(ToolbarTest, RightButtonUpWithoutADragIsOnlyPassedOn) {
  right_up(x_for(400));
  EXPECT_EQ(1u, passed_on(WM_RBUTTONUP));
  EXPECT_TRUE(host.volume_sets().empty());
  EXPECT_EQ(focus_holder, GetFocus());
  for (const ComponentCalls::Call& call : calls->sends)
    EXPECT_NE(TBM_SETPOS, call.message);
}

TEST_F(ToolbarTest, ReleaseWithoutADragIsConsumedAndSendsNothing) {
  EXPECT_EQ(0, release(x_for(400)));
  EXPECT_TRUE(calls->sends.empty());
  EXPECT_EQ(0u, passed_on(WM_LBUTTONUP));
  EXPECT_TRUE(sequence_is_empty(host_spy->seen()));
  EXPECT_TRUE(host.volume_sets().empty());
}

TEST_F(ToolbarTest, MiddleButtonNeverReachesTheTrackbar) {
  EXPECT_EQ(0, to_trackbar(WM_MBUTTONDOWN, MK_MBUTTON, at(x_for(400))));
  press(x_for(100));
  EXPECT_EQ(0, to_trackbar(WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON, at(x_for(400))));
  EXPECT_EQ(0u, passed_on(WM_MBUTTONDOWN));
  move(x_for(200));
  EXPECT_EQ(hdb_for({200}), host.volume_sets()) << "the drag goes on";
}

TEST_F(ToolbarTest, APressOutsideTheTrackbarOrOnADisabledOneStartsNothing) {
  RECT client;
  GetClientRect(trackbar, &client);
  for (LPARAM outside : {MAKELPARAM(-3, y), MAKELPARAM(client.right, y), MAKELPARAM(50, -1)}) {
    EXPECT_EQ(0, to_trackbar(WM_LBUTTONDOWN, MK_LBUTTON, outside));
  }
  EnableWindow(trackbar, FALSE);
  EXPECT_EQ(0, press(x_for(500)));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(nullptr, tooltip_of(toolbar_window));
  EXPECT_EQ(focus_holder, GetFocus());
  EXPECT_EQ(1000, trackbar_pos(trackbar));
  EXPECT_EQ(0u, passed_on(WM_LBUTTONDOWN));
  move(x_for(200));
  EXPECT_TRUE(host.volume_sets().empty());
}

TEST_F(ToolbarTest, MovesOverATrackbarDisabledDuringADragHaveNoEffect) {
  press(x_for(100));
  move(x_for(200));
  // By its style alone: EnableWindow would also cancel the capture, which
  // ends the drag (see the capture test below).
  SetWindowLongW(trackbar, GWL_STYLE, GetWindowLongW(trackbar, GWL_STYLE) | WS_DISABLED);
  ASSERT_FALSE(IsWindowEnabled(trackbar));
  calls->clear();
  EXPECT_EQ(0, move(x_for(600)));
  EXPECT_EQ(200, trackbar_pos(trackbar));
  EXPECT_EQ(hdb_for({200}), host.volume_sets());
  EXPECT_EQ(0u, passed_on(WM_MOUSEMOVE));
  EXPECT_TRUE(calls->sent_to(tooltip_of(toolbar_window)).empty());
  EXPECT_EQ(trackbar, GetCapture()) << "still dragging";
}

TEST_F(ToolbarTest, ABroadcastMovesTheThumbDuringADrag) {
  press(x_for(100));
  move(x_for(300));
  calls->clear();
  set_host_level(800);
  EXPECT_EQ(800, trackbar_pos(trackbar));
  EXPECT_EQ(1u, passed_on(TBM_SETPOS)) << "the registry's message goes through the subclass";
  move(x_for(310));
  EXPECT_EQ(310, trackbar_pos(trackbar));
}

TEST_F(ToolbarTest, DestroyingTheWindowDuringADragLeavesNoTooltipAndNoDrag) {
  press(x_for(100));
  move(x_for(300));
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  toolbar.destroy();
  EXPECT_FALSE(IsWindow(tooltip)) << "owned by the main window, it would have stayed on screen";
  EXPECT_EQ(nullptr, GetCapture());

  // A new window starts idle, and nothing reaches the old tooltip.
  calls->clear();
  host.clear_records();
  const HWND again = place(toolbar, RECT{10, 10, 500, 40});
  ASSERT_NE(nullptr, again);
  const HWND new_trackbar = trackbar_in(again);
  SendMessageW(new_trackbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, y));
  EXPECT_TRUE(host.volume_sets().empty());
  EXPECT_EQ(1u, calls->passed_on(new_trackbar).count(WM_MOUSEMOVE));
  SendMessageW(new_trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, y));
  SendMessageW(new_trackbar, WM_LBUTTONUP, 0, MAKELPARAM(200, y));
  EXPECT_EQ(1u, host.volume_sets().size());
  EXPECT_FALSE(calls->touched(tooltip));
}

TEST_F(ToolbarTest, ATrackbarTooNarrowToDivideSetsNothingAndShowsNothingNew) {
  // No channel to speak of: a press has no place to jump to.
  SetWindowPos(toolbar_window, nullptr, 0, 0, 16, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT channel = channel_rect(trackbar);
  ASSERT_LE(channel.right - channel.left - 1, 0);
  EXPECT_EQ(0, press(channel.left));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(nullptr, tooltip_of(toolbar_window));
  EXPECT_EQ(1000, trackbar_pos(trackbar));

  // A channel narrower than the thumb: 8 to 10 under an 11-pixel thumb. The
  // press divides by 1, the moves have no span (13 to 5).
  SetWindowPos(toolbar_window, nullptr, 0, 0, 18, 30, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  channel = channel_rect(trackbar);
  ASSERT_EQ(8, channel.left);
  ASSERT_EQ(10, channel.right);
  press(channel.left + 1);
  const int pressed = trackbar_pos(trackbar);
  const HWND tooltip = tooltip_of(toolbar_window);
  ASSERT_NE(nullptr, tooltip);
  const std::string shown = tooltip_text(tooltip, toolbar_window);
  calls->clear();
  for (int x : {0, 5, 12, 40})
    move(x);
  EXPECT_TRUE(host.volume_sets().empty());
  EXPECT_EQ(pressed, trackbar_pos(trackbar));
  EXPECT_TRUE(calls->sent_to(tooltip).empty());
  EXPECT_EQ(shown, tooltip_text(tooltip, toolbar_window));
  release(12);
  EXPECT_EQ(hdb_for({pressed}), host.volume_sets()) << "the release settles the thumb's level";
}

TEST_F(ToolbarTest, WithoutATooltipWindowTheDragStillSetsTheVolume) {
  refuse_windows_of("tooltips_class32");
  EXPECT_EQ(0, press(x_for(100)));
  EXPECT_EQ(nullptr, tooltip_of(toolbar_window));
  EXPECT_EQ(trackbar, GetCapture());
  move(x_for(400));
  EXPECT_EQ(400, trackbar_pos(trackbar));
  release(x_for(400));
  EXPECT_EQ(hdb_for({400, 400}), host.volume_sets());
  EXPECT_EQ(focus_holder, GetFocus());
}

}  // namespace
