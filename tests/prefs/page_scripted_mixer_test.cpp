// The page against a scripted mixer: failures Wine's own cannot produce, names
// outside Latin-1, and exactly which winmm calls the page makes.
#include <ostream>
#include <string>
#include <vector>

#include "component/component_fixture.h"
#include "support/blob.h"
#include "support/watchdog.h"
#include "utf8api_testing.h"

namespace {

// The page on its own, as the player's preferences window shows it.
using PreferencesPageTest = ComponentTest;

using testing_support::BlobBuilder;
using testing_support::ScriptedDevice;
using testing_support::ScriptedMixer;
using Texts = std::vector<std::wstring>;
using Lines = std::vector<std::string>;

bool called(const std::vector<std::string>& calls, const std::string& prefix) {
  for (const std::string& call : calls) {
    if (call.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

// Each failure row is checked in both forms of the system calls.
class PageOnScriptedMixer : public ComponentTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    utf8api_set_unicode(GetParam());
  }
  bool wide() const { return GetParam() != 0; }
  std::string caps_call(int id) const {
    return wide() ? "mixerGetDevCapsW(" + std::to_string(id) + ",80)"
                  : "mixerGetDevCapsA(" + std::to_string(id) + ",48)";
  }
};

INSTANTIATE_TEST_SUITE_P(Branches, PageOnScriptedMixer, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param ? "Wide" : "Ansi");
                         });

TEST_P(PageOnScriptedMixer, ADeviceWhoseNameCannotBeReadKeepsItsPlaceAsAnEmptyEntry) {
  ScriptedDevice broken = ScriptedMixer::device(L"Broken");
  broken.caps_result = MMSYSERR_NODRIVER;
  script_mixer().devices = {broken, ScriptedMixer::device(L"Second")};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 2)));
  EXPECT_EQ((Texts{L"Plinvox internal", L"", L"Second"}), entries(device_list));
  EXPECT_EQ(2, selection(device_list)) << "positions are still device numbers";
  EXPECT_EQ(
      Lines{"2|dwx_volume|Unable to query mixer info for ID 0 - " + winmm_text(MMSYSERR_NODRIVER)},
      console());
}

TEST_P(PageOnScriptedMixer, WhenTheDeviceCannotBeIdentifiedTheControlListIsShownEmpty) {
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 2);
  device.id_result = MMSYSERR_BADDEVICEID;
  script_mixer().devices = {device};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 7)));
  EXPECT_TRUE(shown(control_list));
  EXPECT_TRUE(entries(control_list).empty());
  EXPECT_EQ(-1, selection(control_list));
  EXPECT_EQ(7, stored()["mixer_control"]) << "left unchecked";
  EXPECT_EQ(Lines{"2|dwx_volume|mixerGetID failed - " + winmm_text(MMSYSERR_BADDEVICEID)},
            console());
}

TEST_P(PageOnScriptedMixer, WhenTheSpeakerLineCannotBeReadTheControlListIsShownEmpty) {
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 2);
  device.speakers.query_result = MMSYSERR_NOTSUPPORTED;
  script_mixer().devices = {device};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 7)));
  EXPECT_TRUE(shown(control_list));
  EXPECT_TRUE(entries(control_list).empty());
  EXPECT_EQ(-1, selection(control_list));
  EXPECT_EQ(7, stored()["mixer_control"]);
  EXPECT_EQ(Lines{"2|dwx_volume|Failed to query mixer line info for master volume - " +
                  winmm_text(MMSYSERR_NOTSUPPORTED)},
            console());
}

TEST_P(PageOnScriptedMixer, WhenASourceLineCannotBeReadTheLinesBeforeItStay) {
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 3);
  device.sources[1].query_result = MMSYSERR_ERROR;
  script_mixer().devices = {device};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 9)));
  EXPECT_EQ((Texts{L"Master Volume", L"Source 1"}), entries(control_list));
  EXPECT_EQ(-1, selection(control_list));
  EXPECT_EQ(9, stored()["mixer_control"]) << "not repaired: the lines are not all known";
  EXPECT_EQ(Lines{"2|dwx_volume|Failed to query mixer line info for source control - " +
                  winmm_text(MMSYSERR_ERROR)},
            console());
  EXPECT_EQ(0, mixer->open_mixers()) << "nothing was reopened";
}

// Lines are asked for by identifier, never through an open handle (the
// script refuses a handle it did not give out), long names first.
TEST_P(PageOnScriptedMixer, TheLinesAreListedByIdentifierWithTheirLongNamesInSourceOrder) {
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 2);
  device.speakers.name = L"Speaker Master Volume";
  device.speakers.short_name = L"Master";
  device.sources[0].name = L"Line In Volume";
  device.sources[0].short_name = L"Line";
  script_mixer().devices = {ScriptedMixer::device(L"First"), device};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 2).record("mixer_control", 2)));
  EXPECT_EQ((Texts{L"Speaker Master Volume", L"Line In Volume", L"Source 2"}),
            entries(control_list));
  EXPECT_EQ(2, selection(control_list));
  EXPECT_EQ(0, mixer->open_mixers());
  EXPECT_TRUE(console().empty());
}

TEST_P(PageOnScriptedMixer, ChoosingASourceLineReopensOnThatLine) {
  script_mixer().devices = {ScriptedMixer::device(L"Speakers", 3)};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  choose(control_list, 2);
  EXPECT_EQ(2, stored()["mixer_control"]);
  EXPECT_EQ(1, mixer->open_mixers());
  // Source line 1's volume control is the one the commands move now.
  player.commands().perform(0);
  EXPECT_EQ(983u, mixer->value_of(102)) << "level 15 of 0..65535";
  for (DWORD other : {100u, 101u, 103u})
    EXPECT_EQ(0u, mixer->value_of(other)) << "control " << other;
}

TEST_P(PageOnScriptedMixer, WithNoMixersOnlyTheHostsOwnVolumeIsListed) {
  script_mixer().devices = {};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  EXPECT_EQ(Texts{L"Plinvox internal"}, entries(device_list));
  EXPECT_EQ(0, selection(device_list));
  EXPECT_EQ(0, stored()["mixer_id"]);
  EXPECT_EQ(1, host.volume_reads()) << "reopened on the host's own volume";
  EXPECT_TRUE(shown(internal_note));
}

// A driver may claim any number of source lines and answer every query for
// them: the page lists a bounded number and says so, rather than ask four
// billion times.
TEST_F(PreferencesPageTest, ADriverClaimingCountlessSourceLinesGetsABoundedList) {
  testing_support::Watchdog watchdog(30000);
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 2);
  device.claimed_sources = 0xFFFFFFFFu;
  script_mixer().devices = {device};
  mixer->record_calls = false;
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 2)));
  const Texts lines = entries(control_list);
  ASSERT_EQ(257u, lines.size()) << "the speaker line and the first 256 source lines";
  EXPECT_EQ(L"Source 2", lines.back());
  EXPECT_EQ(2, selection(control_list));
  EXPECT_EQ(Lines{"2|dwx_volume|Mixer reports 4294967295 source lines - only the first 256 are "
                  "listed"},
            console());
}

// A reopen that fails leaves the host's own volume in use, and the page
// shows that: the device list on the host's own volume and its note, not
// the mixer and a control list whose every choice would now reopen device 0.
struct FailedReopen {
  const char* name;
  int stored_control;
  bool speakers_fail;
  int chosen_control;  // -1: none
};
void PrintTo(const FailedReopen& c, std::ostream* out) { *out << c.name; }

class PageAfterAFailedReopen : public ComponentTest,
                               public ::testing::WithParamInterface<FailedReopen> {};

TEST_P(PageAfterAFailedReopen, ShowsTheHostsOwnVolumeInUse) {
  const FailedReopen& c = GetParam();
  ScriptedDevice device = ScriptedMixer::device(L"Speakers", 1);
  device.sources[0].controls_result = MMSYSERR_ERROR;
  if (c.speakers_fail) device.speakers.controls_result = MMSYSERR_ERROR;
  script_mixer().devices = {device};
  ASSERT_NE(
      nullptr,
      open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", c.stored_control)));
  if (c.chosen_control >= 0) choose(control_list, c.chosen_control);
  EXPECT_EQ(0, stored()["mixer_id"]) << "the reopen failed";
  EXPECT_EQ(0, selection(device_list));
  EXPECT_FALSE(shown(control_label));
  EXPECT_FALSE(shown(control_list));
  EXPECT_TRUE(shown(internal_note));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageAfterAFailedReopen,
    ::testing::Values(FailedReopen{"ChosenSourceLineWithoutVolume", 0, false, 1},
                      FailedReopen{"StoredControlRepairedOntoSpeakersWithoutVolume", 5, true, -1}),
    [](const ::testing::TestParamInfo<FailedReopen>& info) {
      return std::string(info.param.name);
    });

// Names come from the system in the form utf8api chose and reach the list
// unchanged: in UTF-16 anything goes, in the ANSI code page what it holds.
TEST_P(PageOnScriptedMixer, NamesArriveIntactThroughTheFormChosen) {
  const wchar_t* device_name = wide() ? L"Микшер «Звук»" : L"Haut-parleurs été";
  const wchar_t* speakers_name = wide() ? L"主音量 🔊" : L"Master Volume";
  const wchar_t* source_name = wide() ? L"Ελληνικά" : L"Entrée ligne";
  if (!wide()) {
    ASSERT_EQ(1252u, GetACP()) << "the test prefix's code page; the names fit it";
  }
  ScriptedDevice device = ScriptedMixer::device(device_name, 1);
  device.speakers.name = speakers_name;
  device.sources[0].name = source_name;
  script_mixer().devices = {device};
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  EXPECT_EQ((Texts{L"Plinvox internal", device_name}), entries(device_list));
  EXPECT_EQ((Texts{speakers_name, source_name}), entries(control_list));
  EXPECT_TRUE(called(mixer->calls, caps_call(0)));
  EXPECT_FALSE(called(mixer->calls, wide() ? "mixerGetLineInfoA" : "mixerGetLineInfoW"));
}

}  // namespace
