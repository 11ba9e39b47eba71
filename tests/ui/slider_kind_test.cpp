// What the toolbar and the panel do alike, each test run for both: the level
// a new slider shows, the trackbar filling its window, the scrolls, keys and
// Escape the host window handles, and a slider whose trackbar could not be
// made. The panel stands upside down: full volume at the top.
#include <windows.h>

#include <commctrl.h>

#include <ostream>
#include <string>

#include "ui/slider_fixture.h"

namespace {

namespace ew = standin::extension_window;

struct Key {
  const char* name;
  WPARAM code;
  int level;  // from level 500
};

struct SliderKind {
  const char* name;
  unsigned type;
  RECT where;
  UINT scroll_message;
  // A size to resize it to, and the minimum height its window asks for (9
  // is what the test offers: nothing asked).
  SIZE resized;
  int minimum_height;
  Key keys[6];
  // The level shown at a trackbar position, and the reverse.
  int level_at(int position) const { return type == ew::type_panel ? 1000 - position : position; }
};
void PrintTo(const SliderKind& kind, std::ostream* out) { *out << kind.name; }

const SliderKind toolbar_kind = {"Toolbar",
                                 ew::type_toolbar,
                                 RECT{10, 10, 1036, 40},
                                 WM_HSCROLL,
                                 SIZE{600, 26},
                                 20,
                                 {{"Right", VK_RIGHT, 510},
                                  {"Left", VK_LEFT, 490},
                                  {"Page Down", VK_NEXT, 600},
                                  {"Page Up", VK_PRIOR, 400},
                                  {"Home", VK_HOME, 0},
                                  {"End", VK_END, 1000}}};
const SliderKind panel_kind = {"Panel",
                               ew::type_panel,
                               RECT{1150, 10, 1180, 480},
                               WM_VSCROLL,
                               SIZE{40, 300},
                               9,
                               {{"Up", VK_UP, 510},
                                {"Down", VK_DOWN, 490},
                                {"Page Up", VK_PRIOR, 600},
                                {"Page Down", VK_NEXT, 400},
                                {"Home", VK_HOME, 1000},
                                {"End", VK_END, 0}}};

class SliderKindTest : public SliderTest, public ::testing::WithParamInterface<SliderKind> {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    if (HasFatalFailure()) return;
    holder = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 300, 100, 24, container,
                             nullptr, nullptr, nullptr);
    slider = player.add_slider(kind().type, kind().where);
    ASSERT_NE(nullptr, slider.trackbar);
    calls->clear();
    host.clear_records();
  }
  void TearDown() override {
    if (IsWindow(holder)) DestroyWindow(holder);
    SliderTest::TearDown();
  }

  const SliderKind& kind() const { return GetParam(); }
  LRESULT key_to_host_window(WPARAM key) {
    return SendMessageW(slider.window, WM_KEYDOWN, key, 0x00010001);
  }

  player::Slider slider;
  HWND holder = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Both, SliderKindTest, ::testing::Values(toolbar_kind, panel_kind),
                         [](const ::testing::TestParamInfo<SliderKind>& info) {
                           return std::string(info.param.name);
                         });

TEST_P(SliderKindTest, ShowsTheHostsLevelFromItsCreationOn) {
  EXPECT_EQ(1000, slider.level()) << "the host starts at full volume";
  set_host_level(250);
  EXPECT_EQ(250, slider.level());
  const player::Slider second = player.add_slider(kind().type, RECT{10, 60, 400, 90});
  EXPECT_EQ(250, second.level()) << "created at the host's level";
  host.change_volume(-6000);
  EXPECT_EQ(0, slider.level());
  EXPECT_EQ(0, second.level());
}

TEST_P(SliderKindTest, TheTrackbarFillsTheWindowWhichAsksOnlyForAMinimumHeight) {
  const SIZE size = kind().resized;
  SetWindowPos(slider.window, nullptr, 0, 0, size.cx, size.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT rect;
  GetWindowRect(slider.trackbar, &rect);
  MapWindowPoints(nullptr, slider.window, reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(0, rect.left);
  EXPECT_EQ(0, rect.top);
  EXPECT_EQ(size.cx, rect.right);
  EXPECT_EQ(size.cy, rect.bottom);
  MINMAXINFO limits = {};
  limits.ptMinTrackSize = POINT{7, 9};
  limits.ptMaxTrackSize = POINT{3000, 3000};
  SendMessageW(slider.window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(kind().minimum_height, limits.ptMinTrackSize.y);
  EXPECT_EQ(7, limits.ptMinTrackSize.x) << "the width is left alone";
  EXPECT_EQ(3000, limits.ptMaxTrackSize.y);
}

TEST_P(SliderKindTest, ThumbScrollsSetTheirPositionAndStepsTheThumbs) {
  const LPARAM from_trackbar = reinterpret_cast<LPARAM>(slider.trackbar);
  enum Sets { its_position, the_thumbs, nothing };
  const struct {
    WORD code;
    WORD position;
    LPARAM from;
    Sets sets;
  } cases[] = {
      {TB_THUMBTRACK, 300, from_trackbar, its_position},
      {TB_THUMBPOSITION, 301, from_trackbar, its_position},
      // A step has moved the thumb before it tells of it.
      {TB_LINEDOWN, 302, from_trackbar, the_thumbs},
      {TB_PAGEUP, 303, from_trackbar, the_thumbs},
      {TB_TOP, 304, from_trackbar, the_thumbs},
      {TB_BOTTOM, 305, from_trackbar, the_thumbs},
      {TB_ENDTRACK, 306, from_trackbar, nothing},
      {TB_THUMBPOSITION, 307, reinterpret_cast<LPARAM>(container), nothing},
  };
  for (const auto& c : cases) {
    SendMessageW(slider.trackbar, TBM_SETPOS, TRUE, 420);
    host.clear_records();
    EXPECT_EQ(0, SendMessageW(slider.window, kind().scroll_message, MAKEWPARAM(c.code, c.position),
                              c.from))
        << "code " << c.code;
    const std::vector<int> expected =
        c.sets == nothing ? std::vector<int>{}
                          : hdb_for({kind().level_at(c.sets == its_position ? c.position : 420)});
    EXPECT_EQ(expected, host.volume_sets()) << "code " << c.code;
  }
}

TEST_P(SliderKindTest, KeysMoveTheVolumeByLinesPagesAndToTheEnds) {
  for (const Key& key : kind().keys) {
    set_host_level(500);
    host.clear_records();
    SendMessageW(slider.trackbar, WM_KEYDOWN, key.code, 0x00010001);
    testing_support::flush_events();
    EXPECT_EQ(hdb_for({key.level}), host.volume_sets()) << key.name;
    EXPECT_EQ(key.level, slider.level()) << key.name << ": the thumb shows it";
  }
}

TEST_P(SliderKindTest, EscapeGivesTheFocusBackOrToTheMainWindow) {
  SetActiveWindow(container);
  SetFocus(holder);
  SetFocus(slider.window);
  EXPECT_EQ(0, key_to_host_window(VK_ESCAPE));
  EXPECT_EQ(holder, GetFocus());

  // Other keys are left to the default handling.
  SetFocus(slider.window);
  key_to_host_window(VK_RETURN);
  EXPECT_EQ(slider.window, GetFocus());

  DestroyWindow(holder);
  EXPECT_EQ(0, key_to_host_window(VK_ESCAPE));
  EXPECT_EQ(host.main_window(), GetFocus()) << "the window that had the focus is gone";
  EXPECT_TRUE(host.volume_sets().empty());
}

// A position from anyone but the trackbar could be anything up to 65535:
// 2000 would be +6.02 dB on the toolbar, above what the host calls full.
TEST_P(SliderKindTest, AScrollPositionBeyondTheScaleSetsAnEndOfTheScale) {
  SendMessageW(slider.window, kind().scroll_message, MAKEWPARAM(TB_THUMBPOSITION, 2000),
               reinterpret_cast<LPARAM>(slider.trackbar));
  EXPECT_EQ(hdb_for({kind().type == ew::type_panel ? 0 : 1000}), host.volume_sets());
}

TEST_P(SliderKindTest, WithoutATrackbarItIsAnEmptyWindowLeftOutOfTheRegistry) {
  refuse_trackbars();
  standin::ExtensionWindowView object = new_window_object(kind().type);
  const HWND window = place(object, RECT{10, 60, 400, 260});
  ASSERT_NE(nullptr, window) << "the window is still made";
  EXPECT_EQ(nullptr, GetWindow(window, GW_CHILD));
  MINMAXINFO limits = {};
  limits.ptMinTrackSize = POINT{7, 9};
  SendMessageW(window, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
  EXPECT_EQ(9, limits.ptMinTrackSize.y) << "no trackbar to keep room for";
  SetWindowPos(window, nullptr, 0, 0, 300, 300, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(0, SendMessageW(window, kind().scroll_message, MAKEWPARAM(TB_THUMBPOSITION, 300), 0));
  EXPECT_EQ(0, SendMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0));
  calls->clear();
  EXPECT_EQ(0, SendMessageW(window, TBM_SETPOS, TRUE, 300));
  EXPECT_TRUE(calls->sends.empty()) << "nothing to forward to";
  set_host_level(400);
  EXPECT_FALSE(calls->touched(window)) << "not registered";
  EXPECT_TRUE(host.volume_sets().empty()) << "nothing it was sent set the volume";
  object.destroy();
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
