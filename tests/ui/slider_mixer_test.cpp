// Both sliders with a system mixer selected: the mixer's change
// notifications move them, drags write the mixer, and the tooltip speaks
// per cent. The mixer is a scripted one in place of winmm.
#include <windows.h>

#include <commctrl.h>

#include <tuple>

#include "support/blob.h"
#include "support/scripted_mixer.h"
#include "ui/slider_fixture.h"

namespace {

using testing_support::ScriptedMixer;

constexpr DWORD speaker_control = 100;  // the scripted device's master volume

// The toolbar is placed by each test: its creation opens the mixer.
class MixerToolbarTest : public SliderTest {
 protected:
  std::vector<uint8_t> configuration() override {
    return testing_support::BlobBuilder().record("mixer_id", 1);
  }
  void before_start() override {
    mixer = &player.attach<ScriptedMixer>();
    ASSERT_TRUE(mixer->applied());
    mixer->devices = {ScriptedMixer::device(L"Out: scripted")};
    mixer->set_value(speaker_control, 65535);
  }

  // Another program changed the master volume: the system tells the
  // component's callback window.
  void change_elsewhere(DWORD value) {
    mixer->set_value(speaker_control, value);
    SendMessageW(mixer->callback_window(), MM_MIXM_CONTROL_CHANGE,
                 reinterpret_cast<WPARAM>(mixer->handle_of(0)), speaker_control);
  }

  ScriptedMixer* mixer = nullptr;
};

TEST_F(MixerToolbarTest, AMixerChangeMovesTheToolbarAndThePanelAlsoDuringADrag) {
  place_toolbar();
  ASSERT_NE(nullptr, mixer->handle_of(0)) << "the toolbar's creation opened the mixer";
  standin::ExtensionWindowView panel = new_window_object(standin::extension_window::type_panel);
  const HWND panel_trackbar = trackbar_in(place(panel, RECT{1150, 10, 1180, 480}));
  EXPECT_EQ(0, trackbar_pos(panel_trackbar));

  change_elsewhere(19660);  // level 300
  EXPECT_EQ(300, trackbar_pos(trackbar));
  EXPECT_EQ(700, trackbar_pos(panel_trackbar));

  press(x_for(100));
  move(x_for(200));
  change_elsewhere(65535);
  EXPECT_EQ(1000, trackbar_pos(trackbar));
  EXPECT_EQ(0, trackbar_pos(panel_trackbar));
  move(x_for(300));
  EXPECT_EQ(300, trackbar_pos(trackbar)) << "the drag goes on";
}

TEST_F(MixerToolbarTest, ADragWritesTheMixerAndTheTooltipShowsPerCent) {
  place_toolbar();
  press(x_for(100));
  // Level, text, the control's value: its share of 0..65535, truncated.
  for (const auto& [level, text, value] : {std::tuple<int, const char*, DWORD>{0, "0.0%", 0},
                                           {505, "50.5%", 33095},
                                           {1000, "100.0%", 65535}}) {
    move(x_for(level));
    EXPECT_EQ(text, tooltip_text(tooltip_of(toolbar_window), toolbar_window));
    EXPECT_EQ(value, mixer->value_of(speaker_control)) << "level " << level;
  }
  EXPECT_TRUE(host.volume_sets().empty()) << "the host's own volume is not the target";
}

// The configured mixer cannot be opened: the host's own volume takes over,
// and the tooltip speaks decibels again.
TEST_F(MixerToolbarTest, TheTooltipFollowsTheFallBackToTheHostVolume) {
  mixer->devices[0].open_result = MMSYSERR_ALLOCATED;
  place_toolbar();
  press(x_for(100));
  move(x_for(500));
  EXPECT_EQ("-6.02 dB", tooltip_text(tooltip_of(toolbar_window), toolbar_window));
  EXPECT_EQ(hdb_for({500}), host.volume_sets());
}

}  // namespace
