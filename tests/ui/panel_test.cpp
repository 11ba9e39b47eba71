// The vertical panel: full volume at the top, levels turned over both ways,
// and the trackbar's own mouse and keyboard handling, whose thumb drags and
// line, page and end moves set the volume.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "backend/volume_scale.h"
#include "ui/slider_fixture.h"

namespace {

using testing_support::MessageEntry;
using testing_support::msg_params;
using testing_support::sequence_is;

class PanelTest : public SliderTest {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    if (HasFatalFailure()) return;
    panel = new_window_object(standin::extension_window::type_panel);
    ASSERT_TRUE(panel);
    panel_window = place(panel, RECT{1150, 10, 1180, 480});
    ASSERT_NE(nullptr, panel_window);
    trackbar = trackbar_in(panel_window);
    ASSERT_NE(nullptr, trackbar);
    spy = std::make_unique<testing_support::WindowSpy>(panel_window, std::vector<UINT>{WM_VSCROLL});
    calls->clear();
    host.clear_records();
  }
  void TearDown() override {
    spy.reset();
    SliderTest::TearDown();
  }

  // The trackbar's own handling of a press, moves and a release at client points.
  void mouse(UINT message, WPARAM keys, POINT point) {
    SendMessageW(trackbar, message, keys, MAKELPARAM(point.x, point.y));
  }
  POINT thumb_centre() const {
    const RECT thumb = thumb_rect(trackbar);
    return POINT{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  }

  standin::ExtensionWindowView panel;
  HWND panel_window = nullptr;
  HWND trackbar = nullptr;
  std::unique_ptr<testing_support::WindowSpy> spy;
};

TEST_F(PanelTest, FullVolumeIsAtTheTopAndSilenceAtTheBottom) {
  EXPECT_EQ(0, trackbar_pos(trackbar)) << "the host starts at full volume";
  host.change_volume(-6000);
  EXPECT_EQ(1000, trackbar_pos(trackbar));
  standin::ExtensionWindowView second = new_window_object(standin::extension_window::type_panel);
  EXPECT_EQ(1000, trackbar_pos(trackbar_in(place(second, RECT{1100, 10, 1130, 480}))))
      << "created at silence";
}

TEST_F(PanelTest, ABroadcastReachesTheHostWindowWhichTurnsItOver) {
  set_host_level(250);
  EXPECT_EQ(750, trackbar_pos(trackbar));
  static const MessageEntry to_host_window[] = {{TBM_SETPOS, msg_params, TRUE, 250}};
  static const MessageEntry to_trackbar[] = {{TBM_SETPOS, msg_params, TRUE, 750}};
  EXPECT_TRUE(sequence_is(calls->sent_to(panel_window), to_host_window))
      << "the registry holds the host window";
  EXPECT_TRUE(sequence_is(calls->sent_to(trackbar), to_trackbar)) << "and only it";

  // A level above full, as the host may report, puts the thumb at the top.
  host.change_volume(100);
  EXPECT_EQ(0, trackbar_pos(trackbar));
}

TEST_F(PanelTest, AfterItsWindowIsGoneTheRegistryHoldsNeitherWindow) {
  panel.destroy();
  calls->clear();
  set_host_level(250);
  EXPECT_FALSE(calls->touched(panel_window));
  EXPECT_FALSE(calls->touched(trackbar));
}

TEST_F(PanelTest, APositionSentToTheHostWindowGetsTheTrackbarsAnswer) {
  calls->answer = [this](const ComponentCalls::Call& call, LRESULT* result) {
    if (call.window != trackbar || call.message != TBM_SETPOS) return false;
    *result = 0x5A5A;
    return true;
  };
  EXPECT_EQ(0x5A5A, SendMessageW(panel_window, TBM_SETPOS, FALSE, 300));
  static const MessageEntry forwarded[] = {{TBM_SETPOS, msg_params, FALSE, 700}};
  EXPECT_TRUE(sequence_is(calls->sent_to(trackbar), forwarded));
}

TEST_F(PanelTest, DraggingTheThumbSetsTheVolumeTurnedOverWhileDraggingAndAtTheEnd) {
  const POINT start = thumb_centre();
  const RECT channel = channel_rect(trackbar);
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, start);
  // Towards position 300, in a few moves, as a hand would.
  const int target_y = channel.top + (channel.bottom - channel.top) * 3 / 10;
  for (int step = 1; step <= 4; ++step) {
    mouse(WM_MOUSEMOVE, MK_LBUTTON, POINT{start.x, start.y + (target_y - start.y) * step / 4});
  }
  mouse(WM_LBUTTONUP, 0, POINT{start.x, target_y});
  testing_support::flush_events();
  const int position = trackbar_pos(trackbar);
  EXPECT_NEAR(300, position, 10);

  // Every thumb notification set the volume to its position turned over,
  // the last one to where the thumb ended; nothing else set any.
  std::vector<int> expected;
  for (const MessageEntry& scroll : spy->seen().entries()) {
    const WORD code = LOWORD(scroll.wparam);
    if (code == TB_THUMBTRACK || code == TB_THUMBPOSITION) {
      expected.push_back(dwx::level_to_hdb(1000 - HIWORD(scroll.wparam)));
    }
  }
  ASSERT_GE(expected.size(), 2u);
  EXPECT_EQ(expected, host.volume_sets());
  EXPECT_EQ(dwx::level_to_hdb(1000 - position), host.volume_sets().back());
}

TEST_F(PanelTest, ThumbScrollsSetTheirPositionAndStepsTheThumbsBothTurnedOver) {
  const LPARAM from_trackbar = reinterpret_cast<LPARAM>(trackbar);
  struct Case {
    WORD code;
    LPARAM from;
    std::vector<int> sets;
  };
  // The thumb stands at 420 (level 580); a thumb scroll says 300 (level 700).
  const Case cases[] = {
      {TB_THUMBTRACK, from_trackbar, {700}},
      {TB_THUMBPOSITION, from_trackbar, {700}},
      {TB_LINEDOWN, from_trackbar, {580}},
      {TB_PAGEDOWN, from_trackbar, {580}},
      {TB_BOTTOM, from_trackbar, {580}},
      {TB_ENDTRACK, from_trackbar, {}},
      {TB_THUMBTRACK, reinterpret_cast<LPARAM>(container), {}},
  };
  for (const Case& c : cases) {
    SendMessageW(trackbar, TBM_SETPOS, TRUE, 420);
    host.clear_records();
    EXPECT_EQ(0, SendMessageW(panel_window, WM_VSCROLL, MAKEWPARAM(c.code, 300), c.from));
    EXPECT_EQ(hdb_for(c.sets), host.volume_sets()) << "code " << c.code;
  }
}

TEST_F(PanelTest, KeysAndClicksBesideTheThumbSetTheVolumeTheyShow) {
  const struct {
    const char* what;
    UINT message;
    WPARAM wparam;
    int level;
  } cases[] = {
      {"Up", WM_KEYDOWN, VK_UP, 510},         {"Down", WM_KEYDOWN, VK_DOWN, 490},
      {"Page Up", WM_KEYDOWN, VK_PRIOR, 600}, {"Page Down", WM_KEYDOWN, VK_NEXT, 400},
      {"Home", WM_KEYDOWN, VK_HOME, 1000},    {"End", WM_KEYDOWN, VK_END, 0},
  };
  // A wheel over the trackbar moves it by lines on Windows, with the same
  // notifications as the arrow keys; Wine's trackbar leaves the wheel alone.
  for (const auto& c : cases) {
    set_host_level(500);
    host.clear_records();
    SendMessageW(trackbar, c.message, c.wparam, 0x00010001);
    testing_support::flush_events();
    EXPECT_EQ(hdb_for({c.level}), host.volume_sets()) << c.what;
    EXPECT_EQ(1000 - c.level, trackbar_pos(trackbar)) << c.what << ": the thumb shows it";
  }

  set_host_level(500);
  host.clear_records();
  const RECT channel = channel_rect(trackbar);
  const POINT below{thumb_centre().x, channel.bottom - 3};
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, below);
  mouse(WM_LBUTTONUP, 0, below);
  testing_support::flush_events();
  EXPECT_EQ(hdb_for({400}), host.volume_sets()) << "a page down";
  EXPECT_EQ(600, trackbar_pos(trackbar));
}

TEST_F(PanelTest, EscapeEndsTheTrackbarsCaptureAndGivesTheFocusBack) {
  const HWND holder = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 300, 100, 24,
                                      container, nullptr, nullptr, nullptr);
  SetActiveWindow(container);
  SetFocus(holder);
  SetFocus(panel_window);
  SetCapture(trackbar);
  EXPECT_EQ(0, SendMessageW(panel_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_EQ(nullptr, GetCapture());
  EXPECT_EQ(holder, GetFocus());

  // Without a capture it still gives the focus back; another window's
  // capture is left alone.
  SetFocus(panel_window);
  SetCapture(container);
  EXPECT_EQ(0, SendMessageW(panel_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_EQ(container, GetCapture());
  ReleaseCapture();
  EXPECT_EQ(holder, GetFocus());

  SetFocus(panel_window);
  DestroyWindow(holder);
  EXPECT_EQ(0, SendMessageW(panel_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_EQ(host.main_window(), GetFocus());
}

TEST_F(PanelTest, TheTrackbarFillsTheWindowAndNoMinimumIsAskedFor) {
  SetWindowPos(panel_window, nullptr, 0, 0, 40, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rect;
  GetWindowRect(trackbar, &rect);
  EXPECT_EQ(40, rect.right - rect.left);
  EXPECT_EQ(300, rect.bottom - rect.top);
  MINMAXINFO limits = {};
  limits.ptMinTrackSize = POINT{7, 9};
  SendMessageW(panel_window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(7, limits.ptMinTrackSize.x);
  EXPECT_EQ(9, limits.ptMinTrackSize.y);
}

TEST_F(SliderTest, APanelWithoutATrackbarIsAnEmptyWindowLeftOutOfTheRegistry) {
  refuse_trackbars();
  standin::ExtensionWindowView panel = new_window_object(standin::extension_window::type_panel);
  const HWND window = place(panel, RECT{1150, 10, 1180, 480});
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(nullptr, GetWindow(window, GW_CHILD));
  calls->clear();
  set_host_level(400);
  EXPECT_FALSE(calls->touched(window)) << "not registered";
  EXPECT_EQ(0, SendMessageW(window, TBM_SETPOS, TRUE, 300));
  EXPECT_TRUE(calls->sends.empty()) << "nothing to forward to";
  SetWindowPos(window, nullptr, 0, 0, 40, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(0, SendMessageW(window, WM_VSCROLL, MAKEWPARAM(TB_THUMBTRACK, 300), 0));
  EXPECT_TRUE(host.volume_sets().empty());
  panel.destroy();
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
