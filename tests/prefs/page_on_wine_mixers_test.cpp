// The page on Wine's two real mixers: "Out: default" and "In: default", whose
// speaker line cannot be queried.
#include <algorithm>
#include <string>
#include <vector>

#include "component/component_fixture.h"
#include "support/blob.h"
#include "standin_host/abi.h"
#include "support/screenshot.h"
#include "utf8api_testing.h"

namespace {

// The page on its own, as the player's preferences window shows it.
using PreferencesPageTest = ComponentTest;

using testing_support::BlobBuilder;
using Texts = std::vector<std::wstring>;
using Lines = std::vector<std::string>;

const Texts wine_devices = {L"Plinvox internal", L"Out: default", L"In: default"};
// The speaker line's long name, then its one source line.
const Texts wine_controls = {L"Master Volume", L"Master Volume"};
// Whether the calls reopened "Out: default": opened it once and closed nothing.
bool reopened_out(const Lines& calls) {
  return std::count(calls.begin(), calls.end(), "mixerOpen(0)") == 1 &&
         std::count(calls.begin(), calls.end(), "mixerClose") == 0;
}
// Wine's answer to the speaker-line query of "In: default".
constexpr UINT invalid_line = 1024;

// The branch utf8api's IsUnicode() chooses.
class PageOnWineMixers : public ComponentTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    ComponentTest::SetUp();
    utf8api_set_unicode(GetParam());
  }
};

INSTANTIATE_TEST_SUITE_P(Branches, PageOnWineMixers, ::testing::Values(1, 0),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(info.param ? "Wide" : "Ansi");
                         });

TEST_P(PageOnWineMixers, WithTheHostsOwnVolumeItListsEveryMixerAndShowsTheNote) {
  spy_on_mixer();
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_control", 1)));
  EXPECT_EQ(wine_devices, entries(device_list));
  EXPECT_EQ(0, selection(device_list));
  EXPECT_FALSE(shown(control_label));
  EXPECT_FALSE(shown(control_list));
  EXPECT_TRUE(shown(internal_note));
  EXPECT_TRUE(entries(control_list).empty());
  // A valid choice is left as it is: nothing reopened, nothing reported.
  EXPECT_TRUE(spy->calls.empty());
  EXPECT_EQ(0, host.volume_reads());
  EXPECT_EQ(0, stored()["mixer_id"]);
  EXPECT_EQ(1, stored()["mixer_control"]);
  EXPECT_TRUE(console().empty());
}

TEST_P(PageOnWineMixers, AStoredMixerShowsItsSpeakerLineThenItsSourceLine) {
  spy_on_mixer();
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  EXPECT_EQ(wine_devices, entries(device_list));
  EXPECT_EQ(1, selection(device_list));
  EXPECT_TRUE(shown(control_label));
  EXPECT_TRUE(shown(control_list));
  EXPECT_FALSE(shown(internal_note));
  EXPECT_EQ(wine_controls, entries(control_list));
  EXPECT_EQ(0, selection(control_list));
  EXPECT_TRUE(spy->calls.empty()) << "listing the lines opens no mixer";
  EXPECT_TRUE(console().empty());
}

TEST_P(PageOnWineMixers, ChoosingAMixerStoresItReopensOnItsSpeakerLineAndListsItsLines) {
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_control", 1)));
  spy_on_mixer();
  choose(device_list, 1);
  EXPECT_EQ(1, stored()["mixer_id"]);
  EXPECT_EQ(0, stored()["mixer_control"]);
  EXPECT_TRUE(reopened_out(spy->calls));
  EXPECT_EQ(1, selection(device_list));
  EXPECT_EQ(wine_controls, entries(control_list));
  EXPECT_EQ(0, selection(control_list));
  EXPECT_TRUE(shown(control_list));
  EXPECT_TRUE(shown(control_label));
  EXPECT_FALSE(shown(internal_note));
  EXPECT_TRUE(console().empty());
}

TEST_P(PageOnWineMixers, ChoosingTheHostsOwnVolumeAgainClosesTheMixerAndHidesTheControls) {
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  choose(device_list, 1);  // opens "Out: default"
  spy_on_mixer();
  host.clear_records();
  choose(device_list, 0);
  EXPECT_EQ(0, stored()["mixer_id"]);
  EXPECT_EQ(Lines{"mixerClose"}, spy->calls);
  EXPECT_EQ(1, host.volume_reads()) << "the host's own level is read to be broadcast";
  EXPECT_FALSE(shown(control_label));
  EXPECT_FALSE(shown(control_list));
  EXPECT_TRUE(shown(internal_note));
  EXPECT_EQ(wine_controls, entries(control_list)) << "hidden, not emptied";
}

TEST_P(PageOnWineMixers, ChoosingAMixerThatFailsToOpenShowsTheHostsOwnVolumeInstead) {
  ASSERT_NE(nullptr, open_page());  // the player is started: errors reach the console
  host.clear_records();
  choose(device_list, 2);
  EXPECT_EQ(0, stored()["mixer_id"]);
  EXPECT_EQ(0, stored()["mixer_control"]);
  EXPECT_EQ(0, selection(device_list)) << "the list shows the volume actually in use";
  EXPECT_FALSE(shown(control_label));
  EXPECT_FALSE(shown(control_list));
  EXPECT_TRUE(shown(internal_note));
  EXPECT_EQ(Lines{"3|dwx_volume|mixerGetLineInfo failed to enumerate master volume control - " +
                  winmm_text(invalid_line)},
            console());
  EXPECT_EQ(1, host.volume_reads()) << "the fallback's level is read to be broadcast";
}

TEST_P(PageOnWineMixers, AStoredDeviceThatNoLongerExistsIsSetBackToTheHostsOwnVolume) {
  // Read unsigned, -1 is a device number past every list too.
  for (int32_t gone : {3, 0x7FFFFFFF, -1}) {
    SCOPED_TRACE(gone);
    host.clear_records();
    ASSERT_NE(nullptr,
              open_page(BlobBuilder().record("mixer_id", gone).record("mixer_control", 1)));
    EXPECT_EQ(0, stored()["mixer_id"]);
    EXPECT_EQ(1, stored()["mixer_control"]) << "the control is left alone";
    EXPECT_EQ(1, host.volume_reads()) << "reopened on the host's own volume";
    EXPECT_EQ(wine_devices, entries(device_list));
    EXPECT_EQ(0, selection(device_list));
    EXPECT_TRUE(shown(internal_note));
    EXPECT_FALSE(shown(control_list));
    player.close_page();
  }
}

// Device 2 is "In: default", the last one, whose speaker line cannot be read.
TEST_P(PageOnWineMixers, AStoredDeviceEqualToTheCountStaysAndAFailedLineQueryIsReported) {
  spy_on_mixer();
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 2).record("mixer_control", 5)));
  EXPECT_EQ(2, stored()["mixer_id"]);
  EXPECT_EQ(5, stored()["mixer_control"]) << "not checked against lines that could not be read";
  EXPECT_EQ(2, selection(device_list));
  EXPECT_TRUE(shown(control_list));
  EXPECT_TRUE(shown(control_label));
  EXPECT_FALSE(shown(internal_note));
  EXPECT_TRUE(entries(control_list).empty());
  EXPECT_EQ(-1, selection(control_list));
  EXPECT_EQ(Lines{"2|dwx_volume|Failed to query mixer line info for master volume - " +
                  winmm_text(invalid_line)},
            console());
  EXPECT_TRUE(spy->calls.empty());
}

TEST_P(PageOnWineMixers, AStoredControlAboveTheSourceLinesIsSetBackToTheSpeakerLine) {
  spy_on_mixer();
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 2)));
  EXPECT_EQ(1, stored()["mixer_id"]);
  EXPECT_EQ(0, stored()["mixer_control"]);
  EXPECT_TRUE(reopened_out(spy->calls));
  EXPECT_EQ(0, selection(control_list));
}

TEST_P(PageOnWineMixers, AStoredControlEqualToTheSourceLinesIsTheLastSourceLine) {
  spy_on_mixer();
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 1)));
  EXPECT_EQ(1, stored()["mixer_control"]);
  EXPECT_EQ(1, selection(control_list));
  EXPECT_TRUE(spy->calls.empty());
}

TEST_P(PageOnWineMixers, ChoosingAnotherControlStoresItAndReopensWithoutRefillingTheLists) {
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1)));
  // Entries no listing would make: a refill would wipe them.
  SendMessageW(item(device_list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"marker"));
  SendMessageW(item(control_list), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"marker"));
  spy_on_mixer();
  choose(control_list, 1);
  EXPECT_EQ(1, stored()["mixer_id"]);
  EXPECT_EQ(1, stored()["mixer_control"]);
  EXPECT_TRUE(reopened_out(spy->calls));
  EXPECT_EQ(L"marker", entries(device_list).back());
  EXPECT_EQ(L"marker", entries(control_list).back());
  EXPECT_EQ(1, selection(control_list));
}

TEST_P(PageOnWineMixers, OtherNotificationsAndItemsAreIgnored) {
  ASSERT_NE(nullptr, open_page(BlobBuilder().record("mixer_id", 1).record("mixer_control", 1)));
  spy_on_mixer();
  SendMessageW(item(device_list), CB_SETCURSEL, 0, 0);
  SendMessageW(item(control_list), CB_SETCURSEL, 0, 0);
  const struct {
    int id;
    int code;
  } others[] = {{device_list, CBN_DROPDOWN},    {device_list, CBN_SELENDOK},
                {control_list, CBN_CLOSEUP},    {control_label, CBN_SELCHANGE},
                {internal_note, CBN_SELCHANGE}, {IDOK, BN_CLICKED}};
  for (const auto& other : others) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(other.id, other.code),
                 reinterpret_cast<LPARAM>(item(other.id)));
  }
  EXPECT_EQ(1, stored()["mixer_id"]);
  EXPECT_EQ(1, stored()["mixer_control"]);
  EXPECT_TRUE(spy->calls.empty());
}

TEST_F(PreferencesPageTest, ThePageIsFiledUnderComponentsAndAnswersNoQuery) {
  void* service = component.create_service(standin::guids::preferences_page);
  standin::PreferencesPage page_service(service);
  EXPECT_EQ("Volume control toolbar", page_service.page_name());
  EXPECT_EQ("Components", page_service.parent_name());
  EXPECT_EQ(nullptr, standin::call_slot<void*>(service, standin::service::query,
                                               &standin::guids::preferences_page));
  EXPECT_EQ(1, standin::call_slot<int>(service, standin::service::release));
}

TEST_F(PreferencesPageTest, ThePageIsAChildDialogOfTheWindowItWasGiven) {
  ASSERT_NE(nullptr, open_page());
  EXPECT_EQ(player.preferences_frame(), GetParent(page));
  wchar_t window_class[16] = {};
  GetClassNameW(page, window_class, 16);
  EXPECT_STREQ(L"#32770", window_class);
  EXPECT_EQ(WS_CHILD, GetWindowLongW(page, GWL_STYLE) & (WS_CHILD | WS_POPUP));
  // Each opening builds the page anew.
  HWND first = page;
  EXPECT_NE(nullptr, open_page());
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(wine_devices, entries(device_list));
}

TEST_F(PreferencesPageTest, WhenTheDialogCannotBeCreatedTheHostGetsNull) {
  // A child dialog needs a real parent window.
  HWND not_a_window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(0xBAD0));
  void* service = component.create_service(standin::guids::preferences_page);
  EXPECT_EQ(nullptr, standin::PreferencesPage(service).create(not_a_window));
  standin::call_slot<int>(service, standin::service::release);
}

// The keyboard path: the real combo box changes its selection itself and
// sends the page its own notification.
TEST_F(PreferencesPageTest, PickingAMixerWithTheKeyboardTakesEffect) {
  ASSERT_NE(nullptr, open_page());
  SetForegroundWindow(player.preferences_frame());
  SetFocus(item(device_list));
  SendMessageW(item(device_list), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(1, selection(device_list));
  EXPECT_EQ(1, stored()["mixer_id"]);
  EXPECT_EQ(wine_controls, entries(control_list));
}

TEST_F(PreferencesPageTest, AScreenshotShowsThePageWithAMixerChosen) {
  ASSERT_NE(nullptr, open_page());
  choose(device_list, 1);
  choose(control_list, 1);
  RedrawWindow(player.preferences_frame(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  const testing_support::Picture picture = testing_support::capture_window(page);
  ASSERT_GT(picture.width, 0);
  const std::string path = testing_support::screenshot_path("preferences_page_mixer.png");
  ASSERT_TRUE(testing_support::save_png(picture, path)) << path;

  // The control list, shown now, is drawn where the note would be: its area
  // is not all the page's background colour.
  RECT list_rect, frame_rect;
  GetWindowRect(item(control_list), &list_rect);
  GetWindowRect(page, &frame_rect);
  const uint32_t background =
      picture.at(list_rect.left - frame_rect.left - 4, list_rect.top - frame_rect.top + 2);
  int drawn = 0;
  for (int y = list_rect.top; y < list_rect.bottom; ++y) {
    for (int x = list_rect.left; x < list_rect.right; ++x)
      drawn += picture.at(x - frame_rect.left, y - frame_rect.top) != background;
  }
  EXPECT_GT(drawn, 100);
}

}  // namespace
