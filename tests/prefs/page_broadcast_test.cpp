// The page's reopens seen by a slider: the component's objects linked into
// this program, the dialog template compiled into it, a recording window
// registered as a slider.
#include <windows.h>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"
#include "frame/settings.h"
#include "prefs/preferences_page.h"
#include "support/master_volume.h"

namespace dwx {
extern StaticServiceFactory<VolumePrefsPage> preferences_page_service;
}

namespace {

constexpr int device_list = 1000, control_list = 1001;

class PageBroadcastTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    dwx::slider_registry.add(slider.window());
  }
  void TearDown() override {
    if (page != nullptr) DestroyWindow(page);
    dwx::slider_registry.remove(slider.window());
    BackendTest::TearDown();
  }

  void open_page() {
    page = dwx::preferences_page_service.service().create_page(parent.window());
    ASSERT_NE(nullptr, page);
  }
  // As Windows tells the page of the user's pick.
  void choose(int id, int index) {
    HWND list = GetDlgItem(page, id);
    SendMessageW(list, CB_SETCURSEL, index, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }

  RecordingSlider parent;  // any window will do as the preferences window
  RecordingSlider slider;
  HWND page = nullptr;
};

// The host's own volume at -10.00 dB is level 316; Wine's "Out: default" at
// 32767 of 0..65535 is level 500.
constexpr int host_level = 316, mixer_level = 500;

TEST_F(PageBroadcastTest, RepairingAVanishedDeviceBroadcastsTheHostsOwnLevel) {
  host->change_volume(-1000);
  slider.clear();
  dwx::mixer_id.set(3);
  open_page();
  EXPECT_EQ(0, dwx::mixer_id.value());
  EXPECT_EQ(std::vector<int>{host_level}, slider.levels());
}

TEST_F(PageBroadcastTest, RepairingAVanishedControlBroadcastsTheSpeakerLinesLevel) {
  testing_support::MasterVolume master(0);
  ASSERT_TRUE(master.ready());
  ASSERT_TRUE(master.set(32767));
  dwx::mixer_id.set(1);
  dwx::mixer_control.set(2);
  open_page();
  EXPECT_EQ(0, dwx::mixer_control.value());
  EXPECT_EQ(std::vector<int>{mixer_level}, slider.levels());
}

TEST_F(PageBroadcastTest, EachNewChoiceBroadcastsTheLevelOfWhatIsNowInUse) {
  testing_support::MasterVolume master(0);
  ASSERT_TRUE(master.ready());
  ASSERT_TRUE(master.set(32767));
  host->change_volume(-1000);
  open_page();
  slider.clear();

  choose(device_list, 1);
  EXPECT_EQ(std::vector<int>{mixer_level}, slider.levels());
  choose(control_list, 1);
  EXPECT_EQ(2u, slider.levels().size()) << "the source line's level";
  slider.clear();
  choose(device_list, 2);  // fails to open: the host's own volume takes over
  EXPECT_EQ(std::vector<int>{host_level}, slider.levels());
  EXPECT_EQ(0, dwx::mixer_id.value());
}

}  // namespace
