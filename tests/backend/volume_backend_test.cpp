// The backend facade, and the host's volume reaching the sliders from any thread.
#include <windows.h>

#include <thread>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "frame/component_client.h"
#include "frame/settings.h"
#include "standin_host/abi.h"
#include "support/lock_gate.h"
#include "support/scripted_mixer.h"
#include "support/watchdog.h"

namespace {

class VolumeBackendTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    dwx::slider_registry.add(slider.window());
  }
  void TearDown() override {
    dwx::slider_registry.remove(slider.window());
    BackendTest::TearDown();
  }

  // The play callback, as the host finds it in the service list.
  static void* play_callback() {
    for (auto* node = dwx::component_client.get_service_list(); node; node = node->next()) {
      if (node->class_guid() == standin::guids::play_callback) return node->create();
    }
    return nullptr;
  }

  RecordingSlider slider;
};

TEST_F(VolumeBackendTest, ReopeningADeviceThatIsNotThereFallsBackToTheHost) {
  host->change_volume(-602);
  dwx::mixer_id.set(5);
  dwx::mixer_control.set(1);
  dwx::volume_backend.reopen(5, 1);
  EXPECT_EQ(0, dwx::mixer_id.value());
  EXPECT_EQ(1, dwx::mixer_control.value()) << "the control is left as it was";
  EXPECT_EQ(std::vector<std::string>{"1:500"}, slider.positions());
  EXPECT_EQ(500, level_read(dwx::volume_backend));
  EXPECT_TRUE(console().empty()) << "a device past the count is not reported";
}

TEST_F(VolumeBackendTest, ReopeningWinesOutputBroadcastsItsLevelAndServesIt) {
  dwx::mixer_id.set(1);
  dwx::volume_backend.reopen(1, 0);
  EXPECT_EQ(1, dwx::mixer_id.value());
  ASSERT_EQ(1u, slider.levels().size());
  const int level = slider.levels()[0];
  EXPECT_EQ(level, level_read(dwx::volume_backend));
  dwx::volume_backend.set_volume(300);
  EXPECT_EQ(300, level_read(dwx::volume_backend));
  EXPECT_TRUE(host->volume_sets().empty());
  dwx::volume_backend.set_volume(level);
}

TEST_F(VolumeBackendTest, WinesInputDeviceIsReportedAndTheHostTakesOver) {
  dwx::mixer_id.set(2);
  host->change_volume(-2000);
  host->clear_records();
  dwx::volume_backend.reopen(2, 0);
  EXPECT_EQ(0, dwx::mixer_id.value());
  EXPECT_EQ(std::vector<std::string>{"1:100"}, slider.positions());
  EXPECT_EQ(
      std::vector<std::string>{"3|mixerGetLineInfo failed to enumerate master volume control - " +
                               winmm_text(MIXERR_INVALLINE)},
      console());
}

TEST_F(VolumeBackendTest, TheHostsVolumeReachesTheSlidersOncePerChange) {
  void* watcher = play_callback();
  ASSERT_NE(nullptr, watcher);
  EXPECT_EQ(256u, standin::call_slot<unsigned>(watcher, standin::play_callback::get_flags));
  auto notify = [&](int hdb) {
    standin::call_slot<void>(watcher, standin::play_callback::on_volume_change, hdb);
  };
  notify(-6000);
  notify(-6000);
  notify(0);
  EXPECT_EQ((std::vector<int>{0, 1000}), slider.levels());

  // While a mixer drives the sliders the host's changes are not theirs...
  dwx::mixer_id.set(1);
  notify(-602);
  EXPECT_EQ(2u, slider.levels().size());
  // ...and back on the host's volume, the first change always gets through,
  // even one equal to the last seen before.
  dwx::mixer_id.set(0);
  notify(0);
  EXPECT_EQ((std::vector<int>{0, 1000, 1000}), slider.levels());
}

TEST_F(VolumeBackendTest, TheFirstSetOpensTheConfiguredTargetAndShowsItsLevelBeforeWriting) {
  // A backend of its own, fresh as at load: nothing opened yet.
  dwx::VolumeBackend backend;
  testing_support::ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {testing_support::ScriptedMixer::device(L"Card", 2)};
  mixer.devices[0].sources[1].value = 65535;
  dwx::mixer_id.set(1);
  dwx::mixer_control.set(2);

  backend.set_volume(250);
  EXPECT_EQ(std::vector<std::string>{"1:1000"}, slider.positions())
      << "the level read right after the open, before the new one is written";
  EXPECT_EQ(16383u, mixer.value_of(102)) << "source line 1: control 2";
  EXPECT_EQ(0u, mixer.value_of(100)) << "the speakers are left alone";
  EXPECT_EQ(1, mixer.open_mixers());

  // Opened once: a change of the settings now waits for a reopen, and the
  // level still comes from source line 1.
  dwx::mixer_control.set(0);
  EXPECT_EQ(250, level_read(backend));
  EXPECT_EQ(1, mixer.open_mixers());
  backend.reopen(0, 0);
}

TEST_F(VolumeBackendTest, ATargetThatFailsAtFirstUseIsNotTriedAgain) {
  dwx::VolumeBackend backend;
  testing_support::ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {testing_support::ScriptedMixer::device(L"Card")};
  mixer.devices[0].open_result = MMSYSERR_ALLOCATED;
  dwx::mixer_id.set(1);
  host->change_volume(-602);
  EXPECT_EQ(500, level_read(backend));
  EXPECT_EQ(0, dwx::mixer_id.value());
  dwx::mixer_id.set(1);  // even with the setting put back
  mixer.calls.clear();
  backend.set_volume(100);
  EXPECT_TRUE(mixer.calls.empty());
  EXPECT_EQ(-2000, host->volume());
  EXPECT_EQ(std::vector<std::string>{"3|mixerOpen failed - " + winmm_text(MMSYSERR_ALLOCATED)},
            console())
      << "reported once";
}

TEST_F(VolumeBackendTest, AReopenWhoseLevelCannotBeReadMovesNoSlider) {
  testing_support::ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {testing_support::ScriptedMixer::device(L"Card")};
  mixer.details_get_result = MMSYSERR_ERROR;
  dwx::mixer_id.set(1);
  dwx::volume_backend.reopen(1, 0);
  EXPECT_TRUE(slider.positions().empty()) << "not to silence either";
  EXPECT_EQ(1, dwx::mixer_id.value()) << "the device itself opened";
  EXPECT_EQ(std::vector<std::string>{"2|mixerGetControlDetails failed in GetVolume - " +
                                     winmm_text(MMSYSERR_ERROR)},
            console());
  dwx::volume_backend.reopen(0, 0);
}

// The host reports a change on a thread of its own just as the user selects
// a mixer: the report has seen the host's own volume selected and is about
// to take the registry when the switch shows the mixer's level, and must
// not then cover it with the host's.
TEST_F(VolumeBackendTest, AHostChangeThatWaitedThroughASwitchToAMixerShowsNothing) {
  testing_support::Watchdog watchdog(60000);
  void* watcher = play_callback();
  auto notify = [&](int hdb) {
    standin::call_slot<void>(watcher, standin::play_callback::on_volume_change, hdb);
  };
  // What the watcher saw in earlier tests is forgotten while a mixer is selected.
  dwx::mixer_id.set(1);
  notify(0);
  dwx::mixer_id.set(0);

  testing_support::ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {testing_support::ScriptedMixer::device(L"Card")};
  mixer.devices[0].speakers.value = 19660;  // level 300
  testing_support::LockGate gate(GetModuleHandleW(nullptr));
  ASSERT_TRUE(gate.applied());
  std::thread host_thread([&] {
    gate.stop_next_lock_of(GetCurrentThreadId());
    notify(-602);
  });
  const bool stopped = gate.wait_until_stopped(30000);
  dwx::mixer_id.set(1);
  dwx::volume_backend.reopen(1, 0);
  gate.open();
  host_thread.join();
  ASSERT_TRUE(stopped) << "the report never reached the registry";
  flush_events();
  EXPECT_EQ(std::vector<int>{300}, slider.levels());
  dwx::mixer_id.set(0);
  dwx::volume_backend.reopen(0, 0);
}

}  // namespace
