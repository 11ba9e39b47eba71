// The backend facade, and the host's volume reaching the sliders from any thread.
#include <windows.h>

#include <atomic>
#include <thread>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "backend/volume_scale.h"
#include "frame/component_client.h"
#include "frame/settings.h"
#include "standin_host/abi.h"
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
  const std::vector<std::string> expected_calls = {"mixerGetNumDevs",
                                                   "mixerOpen(0)",
                                                   "mixerGetLineInfoA(3)",
                                                   "mixerGetLineInfoA(1)",
                                                   "mixerGetLineControlsA(2)",
                                                   "mixerGetControlDetailsA(102)",
                                                   "mixerSetControlDetails(102)"};
  EXPECT_EQ(expected_calls, mixer.calls);

  // Opened once: a change of the settings now waits for a reopen.
  dwx::mixer_control.set(0);
  mixer.calls.clear();
  EXPECT_EQ(250, level_read(backend));
  EXPECT_EQ(std::vector<std::string>{"mixerGetControlDetailsA(102)"}, mixer.calls);
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

TEST_F(VolumeBackendTest, HostChangesOnAnotherThreadDuringADragNeitherDeadlockNorGetLost) {
  testing_support::Watchdog watchdog(60000);
  void* watcher = play_callback();
  host->add_play_callback(watcher);

  std::atomic<bool> drag_done{false};
  constexpr int host_changes = 300;
  // The host changes its own volume on a thread of its own, and reports each
  // change there; its last change comes after the drag.
  std::thread host_thread([&] {
    for (int i = 0; i < host_changes; ++i)
      host->change_volume(-(i % 60) * 100);
    while (!drag_done)
      Sleep(1);
    host->change_volume(-1000);
  });

  // Meanwhile the window thread drags: every step sets the volume, which the
  // host reports back on this thread, and now and then the target is reopened
  // (the backend lock, then the registry's).
  for (int step = 0; step < 300; ++step) {
    dwx::volume_backend.set_volume(step * 3);
    if (step % 25 == 0) dwx::volume_backend.reopen(0, 0);
    flush_events();
  }
  drag_done = true;
  while (MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT) != WAIT_FAILED) {
    flush_events();
    if (host->volume() == -1000) break;
  }
  host_thread.join();
  flush_events();

  host->remove_play_callbacks();
  EXPECT_EQ(300u, host->volume_sets().size()) << "every step reached the host";
  ASSERT_FALSE(slider.levels().empty());
  EXPECT_EQ(dwx::hdb_to_level(-1000), slider.levels().back());
  EXPECT_EQ(dwx::hdb_to_level(-1000), level_read(dwx::volume_backend));
}

// The host reports a change on a thread of its own just as the user selects
// a mixer: the report waits for the registry while the switch shows the
// mixer's level, and must not then cover it with the host's.
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
  std::atomic<bool> reported{false};
  std::thread host_thread;
  {
    dwx::LockGuard busy(dwx::slider_registry.lock());
    host_thread = std::thread([&] {
      notify(-602);
      reported = true;
    });
    Sleep(200);  // it has seen the host's own volume selected, and waits
    dwx::mixer_id.set(1);
    dwx::volume_backend.reopen(1, 0);
  }
  while (!reported) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    flush_events();
  }
  host_thread.join();
  flush_events();
  EXPECT_EQ(std::vector<int>{300}, slider.levels());
  dwx::mixer_id.set(0);
  dwx::volume_backend.reopen(0, 0);
}

}  // namespace
