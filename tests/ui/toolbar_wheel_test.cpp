// The wheel over the toolbar: steps of ten levels per scroll line, as many
// lines per notch as the user set.
#include <windows.h>

#include <commctrl.h>

#include "ui/slider_fixture.h"

namespace {

using testing_support::MessageEntry;
using testing_support::msg_params;
using testing_support::sequence_is;
using testing_support::sequence_is_empty;

// What SystemParametersInfoA tells the component about the wheel.
struct WheelSetting {
  static UINT lines;
  static bool answers;
  static BOOL(WINAPI* original)(UINT, UINT, PVOID, UINT);
  static BOOL WINAPI get(UINT action, UINT parameter, PVOID out, UINT flags) {
    if (action != SPI_GETWHEELSCROLLLINES) return original(action, parameter, out, flags);
    if (!answers) return FALSE;
    *static_cast<UINT*>(out) = lines;
    return TRUE;
  }
};
UINT WheelSetting::lines = 3;
bool WheelSetting::answers = true;
BOOL(WINAPI* WheelSetting::original)(UINT, UINT, PVOID, UINT) = nullptr;

class WheelTest : public SliderTest {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    if (!HasFatalFailure()) place_toolbar();
    if (HasFatalFailure()) return;
    auto& setting = patch("user32.dll", "SystemParametersInfoA",
                          reinterpret_cast<const void*>(&WheelSetting::get));
    ASSERT_TRUE(setting.applied());
    WheelSetting::original = setting.original<BOOL(WINAPI*)(UINT, UINT, PVOID, UINT)>();
    WheelSetting::lines = 3;
    WheelSetting::answers = true;
  }

  // A notch (or part of one) over the trackbar at `level`, no buttons held.
  LRESULT wheel(int delta, WPARAM keys = 0, POINT where = POINT{-1, -1}) {
    if (where.x == -1) where = screen_point(x_for(500));
    return to_trackbar(WM_MOUSEWHEEL, MAKEWPARAM(keys, static_cast<WORD>(delta)),
                       MAKELPARAM(where.x, where.y));
  }
  void start_at(int position) {
    SendMessageW(trackbar, TBM_SETPOS, TRUE, position);
    calls->clear();
    host_spy->clear();
    host.clear_records();
  }
};

TEST_F(WheelTest, ANotchMovesThirtyLevelsAtThreeLinesAndStopsAtTheEnds) {
  struct Case {
    UINT lines;
    bool answers;
    int start;
    int delta;
    int expected;
  };
  const Case cases[] = {
      {3, true, 500, 120, 530},
      {3, true, 500, -120, 470},
      {3, true, 990, 120, 1000},
      {3, true, 15, -120, 0},
      {3, true, 500, 40, 510},
      {3, true, 500, 240, 560},
      {1, true, 500, 120, 510},
      {WHEEL_PAGESCROLL, true, 500, -120, 300},
      {0xFFFFFFF0, true, 500, 120, 700},
      {99, false, 500, 120, 530},
      {0x7FFFFFFF, true, 500, 120, 1000},
      {0x7FFFFFFF, true, 500, -1, 0},
      {100000, true, 500, 1, 1000},
      {12000, true, 500, -1, 0},
  };
  for (const Case& c : cases) {
    WheelSetting::lines = c.lines;
    WheelSetting::answers = c.answers;
    start_at(c.start);
    EXPECT_EQ(0, wheel(c.delta));
    const std::string label = "lines " + std::to_string(c.lines) + ", delta " +
                              std::to_string(c.delta) + ", from " + std::to_string(c.start);
    EXPECT_EQ(c.expected, trackbar_pos(trackbar)) << label;
    EXPECT_EQ(hdb_for({c.expected}), host.volume_sets()) << label;
    const MessageEntry settled[] = {{WM_HSCROLL, msg_params,
                                     MAKEWPARAM(TB_THUMBPOSITION, c.expected),
                                     reinterpret_cast<LPARAM>(trackbar)}};
    EXPECT_TRUE(sequence_is(host_spy->seen(), settled)) << label;
    EXPECT_EQ(0u, passed_on(WM_MOUSEWHEEL)) << label;
  }
}

TEST_F(WheelTest, ANotchThatChangesNothingSendsNothing) {
  struct Case {
    UINT lines;
    int start;
    int delta;
  };
  const Case cases[] = {{3, 1000, 120}, {3, 0, -120}, {0, 500, 120}, {3, 500, 1}};
  for (const Case& c : cases) {
    WheelSetting::lines = c.lines;
    start_at(c.start);
    EXPECT_EQ(0, wheel(c.delta));
    EXPECT_EQ(c.start, trackbar_pos(trackbar));
    EXPECT_TRUE(sequence_is_empty(host_spy->seen())) << "from " << c.start;
    EXPECT_TRUE(host.volume_sets().empty());
    EXPECT_EQ(0u, calls->sent_to(trackbar).count(TBM_SETPOS));
    EXPECT_EQ(0u, passed_on(WM_MOUSEWHEEL));
  }
}

TEST_F(WheelTest, AWheelWithAButtonHeldOrOutsideTheTrackbarIsPassedOn) {
  for (WPARAM keys : {MK_LBUTTON, MK_RBUTTON, MK_MBUTTON, MK_LBUTTON | MK_SHIFT}) {
    start_at(500);
    wheel(120, keys);
    EXPECT_EQ(1u, passed_on(WM_MOUSEWHEEL)) << "keys " << keys;
    EXPECT_TRUE(host.volume_sets().empty());
  }
  RECT client;
  GetClientRect(trackbar, &client);
  POINT below{x_for(500), client.bottom};
  ClientToScreen(trackbar, &below);
  POINT left{-2, y};
  ClientToScreen(trackbar, &left);
  for (POINT outside : {below, left}) {
    start_at(500);
    wheel(120, 0, outside);
    EXPECT_EQ(1u, passed_on(WM_MOUSEWHEEL));
    EXPECT_TRUE(host.volume_sets().empty());
  }
  // Shift and Ctrl are no buttons: that notch is the component's.
  start_at(500);
  wheel(120, MK_SHIFT | MK_CONTROL);
  EXPECT_EQ(0u, passed_on(WM_MOUSEWHEEL));
  EXPECT_EQ(530, trackbar_pos(trackbar));
}

}  // namespace
