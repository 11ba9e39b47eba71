// What the vertical panel does apart from the toolbar: its host window holds
// its place in the registry and forwards positions turned over, and the
// trackbar's own thumb drag and capture set the volume and end.
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

// Escape gives the focus back as the toolbar's does (slider_kind_test.cpp);
// the panel's also ends a thumb drag of the trackbar's own.
TEST_F(PanelTest, EscapeEndsTheTrackbarsOwnCaptureAndLeavesAnothersAlone) {
  SetCapture(trackbar);
  EXPECT_EQ(0, SendMessageW(panel_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_EQ(nullptr, GetCapture());

  SetCapture(container);
  EXPECT_EQ(0, SendMessageW(panel_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
  EXPECT_EQ(container, GetCapture());
  ReleaseCapture();
}

}  // namespace
