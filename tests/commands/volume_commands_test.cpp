// The volume commands through the menu-item slots, as the player's menus call them.
#include <memory>
#include <string>
#include <thread>

#include "component/component_fixture.h"
#include "standin_host/abi.h"
#include "standin_host/host_objects.h"
#include "standin_host/menu_items.h"
#include "support/blob.h"
#include "support/master_volume.h"
#include "support/lock_gate.h"
#include "support/scripted_mixer.h"
#include "support/watchdog.h"

namespace {

using standin::call_slot;
using standin::MenuItems;
using testing_support::BlobBuilder;
using testing_support::ScriptedDevice;
using testing_support::ScriptedMixer;
namespace guids = standin::guids;
namespace slots = standin::menu_item;

constexpr unsigned volume_up = 0, volume_down = 1, volume_mute = 2;
// The speaker control of the scripted device: bounds 0..1000, so the value
// written is the level itself.
constexpr DWORD speakers = 100;
// What a caller may pass as its own GUID; the commands must not care.
constexpr GUID some_caller = {0x12345678, 0x1, 0x2, {1, 2, 3, 4, 5, 6, 7, 8}};

class VolumeCommandsTest : public ComponentTest {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    menu = std::make_unique<MenuItems>(component.create_service(guids::menu_item));
    ASSERT_NE(nullptr, menu->service());
  }
  void TearDown() override {
    // The patches go while the module's import table is still mapped.
    mixer.reset();
    ComponentTest::TearDown();
  }

  // The target is a scripted mixer whose level is its value.
  void start_on_scripted_mixer(const BlobBuilder& blob = BlobBuilder().record("mixer_id", 1),
                               DWORD maximum = 1000) {
    mixer = std::make_unique<ScriptedMixer>(component.module());
    ASSERT_TRUE(mixer->applied());
    ScriptedDevice device = ScriptedMixer::device(L"Speakers", 0);
    device.speakers.maximum = maximum;
    mixer->devices = {device};
    component.start(blob);
  }
  int level() const { return static_cast<int>(mixer->value_of(speakers)); }
  void set_level(int level) { mixer->set_value(speakers, static_cast<DWORD>(level)); }
  int stored(const char* name) {
    return testing_support::blob_values(component.write_config())[name];
  }
  int writes() const {
    int count = 0;
    for (const std::string& call : mixer->calls)
      count += call.rfind("mixerSetControlDetails", 0) == 0;
    return count;
  }

  std::unique_ptr<MenuItems> menu;
  std::unique_ptr<ScriptedMixer> mixer;
};

TEST_F(VolumeCommandsTest, MenusSeeThreeCommandsWithTheirNamesTextsAndGuids) {
  EXPECT_EQ(3u, menu->count());
  const struct {
    const char* name;
    const char* display;
    GUID guid;
  } expected[] = {
      {"Components/Volume toolbar up",
       "Volume up",
       {0x09AAFA8B, 0x01D0, 0x40FC, {0xA5, 0x96, 0xCB, 0xF0, 0xED, 0xA4, 0x60, 0x3F}}},
      {"Components/Volume toolbar down",
       "Volume down",
       {0xEAA316FE, 0x0841, 0x40DA, {0xBD, 0x04, 0xF4, 0x97, 0x54, 0xA2, 0x48, 0x1A}}},
      {"Components/Volume toolbar mute",
       "Volume mute",
       {0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}}},
  };
  for (unsigned index = 0; index < 3; ++index) {
    SCOPED_TRACE(expected[index].display);
    standin::HostStringObject name;
    const char* returned = menu->item_name(index, &name);
    EXPECT_EQ(expected[index].name, name.text);
    EXPECT_EQ(name.text.c_str(), returned) << "what the string's slot 0 returns";

    // Both entry points set the text, clear the flags and answer true.
    const standin::MenuDisplay shown = menu->display(index);
    EXPECT_TRUE(shown.shown);
    EXPECT_EQ(expected[index].display, shown.text);
    EXPECT_EQ(0u, shown.flags);
    const standin::MenuDisplay shown_ex = menu->display_ex(index, some_caller);
    EXPECT_TRUE(shown_ex.shown);
    EXPECT_EQ(expected[index].display, shown_ex.text);
    EXPECT_EQ(0u, shown_ex.flags);

    GUID guid = {};
    EXPECT_TRUE(menu->item_guid(index, &guid));
    EXPECT_TRUE(expected[index].guid == guid);
  }
}

TEST_F(VolumeCommandsTest, AnIndexPastTheTableIsRefusedAndNothingIsWritten) {
  for (unsigned index : {3u, 4u, 0x80000000u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(index);
    standin::HostStringObject name;
    name.text = "untouched";
    const char* returned = menu->item_name(index, &name);
    EXPECT_EQ("untouched", name.text);
    EXPECT_EQ(name.text.c_str(), returned);

    const standin::MenuDisplay shown = menu->display(index, 77);
    EXPECT_FALSE(shown.shown);
    EXPECT_EQ("", shown.text);
    EXPECT_EQ(77u, shown.flags);
    EXPECT_FALSE(menu->display_ex(index, some_caller, 77).shown);

    GUID guid = some_caller;
    EXPECT_FALSE(menu->item_guid(index, &guid));
    EXPECT_TRUE(some_caller == guid);
  }
}

TEST_F(VolumeCommandsTest, TheHostsOwnSlotsAnswerTheirConstantsAndQueryFindsBothClasses) {
  void* service = menu->service();
  EXPECT_EQ(0u, call_slot<unsigned>(service, slots::reserved3, 7u));
  EXPECT_EQ(0u, call_slot<unsigned>(service, slots::reserved4));
  EXPECT_FALSE(call_slot<bool>(service, slots::reserved9, 1u, 2u));
  EXPECT_EQ(0u, call_slot<unsigned>(service, slots::reserved10, 7u));

  EXPECT_EQ(1, call_slot<int>(service, standin::service::add_ref));
  EXPECT_EQ(1, call_slot<int>(service, standin::service::release));
  EXPECT_EQ(service, call_slot<void*>(service, standin::service::query, &guids::menu_item));
  EXPECT_EQ(service, call_slot<void*>(service, standin::service::query, &guids::menu_item_v2));
  EXPECT_EQ(nullptr, call_slot<void*>(service, standin::service::query, &guids::preferences_page));
  EXPECT_EQ(nullptr, call_slot<void*>(service, standin::service::query, &some_caller));
  EXPECT_EQ(nullptr,
            call_slot<void*>(service, standin::service::query, static_cast<const GUID*>(nullptr)));
}

TEST_F(VolumeCommandsTest, VolumeUpStopsAtFull) {
  start_on_scripted_mixer();
  set_level(500);
  menu->perform(volume_up);
  EXPECT_EQ(515, level());
  set_level(990);
  menu->perform_ex(volume_up, some_caller);
  EXPECT_EQ(1000, level());
  const int before = writes();
  menu->perform(volume_up);
  EXPECT_EQ(1000, level());
  EXPECT_EQ(before + 1, writes()) << "full volume is set again";
}

TEST_F(VolumeCommandsTest, VolumeDownStopsAtSilence) {
  start_on_scripted_mixer();
  set_level(500);
  menu->perform_ex(volume_down, some_caller);
  EXPECT_EQ(485, level());
  set_level(10);
  menu->perform(volume_down);
  EXPECT_EQ(0, level());
  menu->perform(volume_down);
  EXPECT_EQ(0, level());
}

TEST_F(VolumeCommandsTest, MuteSilencesAndGivesBackTheLevelItKeptInTheConfiguration) {
  start_on_scripted_mixer();
  set_level(640);
  menu->perform(volume_mute);
  EXPECT_EQ(0, level());
  EXPECT_EQ(640, stored("mixer_mute_level"));

  menu->perform_ex(volume_mute, some_caller);
  EXPECT_EQ(640, level());
  EXPECT_EQ(0, stored("mixer_mute_level"));
}

TEST_F(VolumeCommandsTest, MuteAtSilenceWithNothingKeptStaysSilent) {
  start_on_scripted_mixer();
  set_level(0);
  menu->perform(volume_mute);
  EXPECT_EQ(0, level());
  EXPECT_EQ(1, writes()) << "silence is set again";
  EXPECT_EQ(0, stored("mixer_mute_level"));
}

TEST_F(VolumeCommandsTest, ALevelChangedElsewhereAfterMuteReplacesTheKeptOne) {
  start_on_scripted_mixer();
  set_level(640);
  menu->perform(volume_mute);
  set_level(300);  // a slider moved up from silence
  menu->perform(volume_mute);
  EXPECT_EQ(0, level());
  EXPECT_EQ(300, stored("mixer_mute_level"));
  menu->perform(volume_mute);
  EXPECT_EQ(300, level()) << "the 640 kept earlier is gone";
}

// One command reads the level, and the next lock it takes lets another
// command start: were reading and setting apart, that lock would be the
// setting's, and the other command would read the same level. Taking none
// before it is done, the other command starts after it. Both must count.
TEST_F(VolumeCommandsTest, TwoCommandsAtOnceBothCount) {
  testing_support::Watchdog watchdog(60000);
  start_on_scripted_mixer();
  set_level(500);
  menu->perform(volume_up);  // opens the target first
  testing_support::LockGate gate(component.module());
  ASSERT_TRUE(gate.applied());
  std::thread other;
  auto start_other = [&] { other = std::thread([&] { menu->perform(volume_up); }); };
  gate.at_stop = start_other;
  bool read = false;
  mixer->on_read = [&] {
    if (read) return gate.open();  // the other command's read
    read = true;
    gate.stop_next_lock_of(GetCurrentThreadId());
  };
  menu->perform(volume_up);
  gate.stop_next_lock_of(0);
  if (!other.joinable()) start_other();
  other.join();
  mixer->on_read = nullptr;
  EXPECT_EQ(545, level());
}

// A level that cannot be read is not silence: nothing is unmuted, raised or
// lowered from a made-up 0.
TEST_F(VolumeCommandsTest, ACommandThatCannotReadTheLevelOnlyWarns) {
  start_on_scripted_mixer(BlobBuilder().record("mixer_id", 1).record("mixer_mute_level", 640));
  set_level(300);
  menu->perform(volume_down);  // opens the target first
  EXPECT_EQ(285, level());
  host.clear_records();
  const int before = writes();
  mixer->details_get_result = MMSYSERR_ERROR;
  for (unsigned index : {volume_mute, volume_up, volume_down})
    menu->perform(index);
  EXPECT_EQ(before, writes());
  EXPECT_EQ(285, level());
  EXPECT_EQ(640, stored("mixer_mute_level"));
  const std::string warning = "2|dwx_volume|mixerGetControlDetails failed in GetVolume - ";
  EXPECT_EQ((std::vector<std::string>{warning, warning, warning}), console());
}

TEST_F(VolumeCommandsTest, TheMutedLevelSurvivesARestartOfThePlayer) {
  start_on_scripted_mixer();
  set_level(640);
  menu->perform(volume_mute);
  const std::vector<uint8_t> saved = component.stop();
  menu.reset();
  mixer.reset();
  component.unload();

  ASSERT_TRUE(component.load()) << component.error();
  menu = std::make_unique<MenuItems>(component.create_service(guids::menu_item));
  start_on_scripted_mixer(BlobBuilder().raw(std::string(saved.begin(), saved.end())));
  set_level(0);
  menu->perform(volume_mute);
  EXPECT_EQ(640, level());
}

TEST_F(VolumeCommandsTest, AKeptLevelOffTheScaleIsBroughtBackOntoIt) {
  // The blob is the player's file and may have been edited by hand.
  start_on_scripted_mixer(BlobBuilder().record("mixer_id", 1).record("mixer_mute_level", 5000));
  set_level(0);
  menu->perform(volume_mute);
  EXPECT_EQ(1000, level()) << "not 5000, which would be five times the control's maximum";

  component.read_config(BlobBuilder().record("mixer_mute_level", -20));
  set_level(0);
  menu->perform(volume_mute);
  EXPECT_EQ(0, level());
  EXPECT_EQ(0, stored("mixer_mute_level"));
}

TEST_F(VolumeCommandsTest, AnIndexPastTheTableOpensTheTargetAndChangesNothing) {
  start_on_scripted_mixer();
  set_level(640);
  menu->perform_ex(3, some_caller);
  EXPECT_EQ(1, mixer->open_mixers()) << "it opened the configured target, as any use does";
  menu->perform(0xFFFFFFFFu);
  EXPECT_EQ(0, writes());
  EXPECT_EQ(640, level());
  EXPECT_EQ(0, stored("mixer_mute_level"));
}

TEST_F(VolumeCommandsTest, TheFirstCommandOpensTheConfiguredTarget) {
  start_on_scripted_mixer();
  set_level(200);
  EXPECT_EQ(0, mixer->open_mixers()) << "nothing is opened before a command runs";
  menu->perform(volume_up);
  EXPECT_EQ(1, mixer->open_mixers());
  EXPECT_EQ(215, level());
}

// With the host's own volume selected, the commands move it in decibel steps
// of the same 15 levels: -6 dB is level 501.
TEST_F(VolumeCommandsTest, OnTheHostsOwnVolumeTheCommandsSetItInHundredthsOfADecibel) {
  component.start();
  host.change_volume(-600);
  menu->perform(volume_up);  // 516
  menu->perform(volume_down);
  EXPECT_EQ((std::vector<int>{-574, -600}), host.volume_sets()) << "down again from 516";

  host.clear_records();
  host.change_volume(-600);
  menu->perform(volume_mute);
  EXPECT_EQ((std::vector<int>{-6000}), host.volume_sets()) << "silence is the -60 dB floor";
  EXPECT_EQ(501, stored("mixer_mute_level"));

  // A host above full volume, as far as +127 dB: the commands step from
  // full volume, where the scale ends (level 985 is -0.13 dB).
  host.clear_records();
  host.change_volume(12700);
  menu->perform(volume_up);
  host.change_volume(12700);
  menu->perform(volume_down);
  EXPECT_EQ((std::vector<int>{0, -13}), host.volume_sets());
}

TEST_F(VolumeCommandsTest, OnWinesOwnMixerTheCommandsMoveItsMasterVolume) {
  testing_support::MasterVolume master(0);  // "Out: default"
  ASSERT_TRUE(master.ready());
  ASSERT_EQ(65535u, master.maximum());
  ASSERT_TRUE(master.set(32767));  // level 500
  component.start(BlobBuilder().record("mixer_id", 1));

  // Wine keeps the value on its own scale, so what is read back may be a
  // little off what was written; it is still nearest the same level.
  menu->perform(volume_up);
  EXPECT_NEAR(33750, static_cast<int>(master.get()), 2) << "level 515 of 0..65535";
  menu->perform(volume_mute);
  EXPECT_EQ(0u, master.get());
  EXPECT_EQ(515, stored("mixer_mute_level"));
  menu->perform(volume_mute);
  EXPECT_NEAR(33750, static_cast<int>(master.get()), 2);
  EXPECT_TRUE(host.volume_sets().empty()) << "the host's own volume is left alone";
}

}  // namespace
