// The mixer connection against Wine's real winmm mixer, and against a
// scripted one for what the real one cannot be made to do.
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <atomic>
#include <memory>

#include "backend/backend_fixture.h"
#include "backend/mixer_connection.h"
#include "backend/slider_registry.h"
#include "frame/component_state.h"
#include "support/import_table.h"
#include "support/scripted_mixer.h"

namespace {

using testing_support::ScriptedMixer;

constexpr wchar_t callback_class[] = L"8DEB9B7A-B049-4599-AE4B-258E9D58D5F3";

HWND callback_window() { return FindWindowW(callback_class, L"uninteresting"); }

bool callback_class_registered() {
  WNDCLASSEXW found = {sizeof found};
  return GetClassInfoExW(GetModuleHandleW(nullptr), callback_class, &found) != FALSE;
}

// Counts the registrations the component asks utf8api for.
std::atomic<int> registrations{0};
using RegisterClassFn = ATOM(__cdecl*)(const WNDCLASSA*);
RegisterClassFn real_register_class = nullptr;
ATOM __cdecl counting_register_class(const WNDCLASSA* description) {
  ++registrations;
  return real_register_class(description);
}

class MixerConnectionTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    dwx::slider_registry.add(slider.window());
  }
  void TearDown() override {
    connection.reset();
    dwx::slider_registry.remove(slider.window());
    BackendTest::TearDown();
  }

  std::unique_ptr<dwx::MixerConnection> connection = std::make_unique<dwx::MixerConnection>();
  RecordingSlider slider;
};

// The master volume of Wine's "Out: default", read and written through a
// mixer handle of the test's own.
class WineMaster {
 public:
  WineMaster() {
    mixerOpen(&mixer_, 0, 0, 0, 0);
    MIXERLINEA line = {sizeof line};
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    mixerGetLineInfoA(object(), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
    MIXERCONTROLA control = {sizeof control};
    MIXERLINECONTROLSA controls = {sizeof controls};
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    mixerGetLineControlsA(object(), &controls,
                          MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
    control_id_ = control.dwControlID;
    saved_ = value();
  }
  // Leaves the device as it found it.
  ~WineMaster() {
    set_value(saved_);
    mixerClose(mixer_);
  }

  DWORD value() {
    MIXERCONTROLDETAILS_UNSIGNED value = {};
    MIXERCONTROLDETAILS details = this->details(&value);
    EXPECT_EQ(MMSYSERR_NOERROR, mixerGetControlDetailsA(object(), &details, MIXER_OBJECTF_HMIXER));
    return value.dwValue;
  }
  void set_value(DWORD new_value) {
    MIXERCONTROLDETAILS_UNSIGNED value = {new_value};
    MIXERCONTROLDETAILS details = this->details(&value);
    EXPECT_EQ(MMSYSERR_NOERROR, mixerSetControlDetails(object(), &details, MIXER_OBJECTF_HMIXER));
  }

 private:
  HMIXEROBJ object() const { return reinterpret_cast<HMIXEROBJ>(mixer_); }
  MIXERCONTROLDETAILS details(MIXERCONTROLDETAILS_UNSIGNED* value) const {
    MIXERCONTROLDETAILS details = {sizeof details};
    details.dwControlID = control_id_;
    details.cChannels = 1;
    details.cbDetails = sizeof *value;
    details.paDetails = value;
    return details;
  }

  HMIXER mixer_ = nullptr;
  DWORD control_id_ = 0;
  DWORD saved_ = 0;
};

TEST_F(MixerConnectionTest, WinesMasterVolumeIsReadAndWrittenOnTheLevelScale) {
  WineMaster master;
  ASSERT_TRUE(connection->open(1, 0));
  EXPECT_NE(nullptr, callback_window());
  // Values Wine's mixer keeps exactly (it rounds some others, 65 to 64, by a
  // scale of its own); the exact arithmetic is tested on the scripted mixer.
  const struct {
    int level;
    DWORD written;
    int read_back;
  } cases[] = {
      {500, 32767, 500}, {999, 65469, 999}, {1000, 65535, 1000}, {0, 0, 0}, {250, 16383, 250}};
  for (const auto& c : cases) {
    connection->write_level(c.level);
    EXPECT_EQ(c.written, master.value()) << "level " << c.level;
    EXPECT_EQ(c.read_back, level_read(*connection)) << "level " << c.level;
  }
  // A change made by another program is read as it is.
  // 6553 lies nearer 6553 (level 100) than 6487 (level 99).
  master.set_value(6553);
  EXPECT_EQ(100, level_read(*connection));
  EXPECT_TRUE(host->volume_sets().empty()) << "the host's own volume is left alone";
  EXPECT_TRUE(console().empty());
}

TEST_F(MixerConnectionTest, WinesSourceLineOpensAndControlsPastItMeanTheSpeakers) {
  // Wine's source line has a volume control, though it keeps no value in it.
  ASSERT_TRUE(connection->open(1, 1));
  WineMaster master;
  master.set_value(0);
  connection->write_level(1000);
  EXPECT_EQ(0u, master.value()) << "the source line's control, not the master";
  ASSERT_TRUE(connection->open(1, 9)) << "a control past the last source line";
  connection->write_level(1000);
  EXPECT_EQ(65535u, master.value());
  EXPECT_TRUE(console().empty());
}

// A value set by someone else reads as the level that writes the nearest
// value: on 0..65535, 500 writes 32767, 501 writes 32833; 0 writes 0, 1
// writes 65 (what each level writes is EveryLevelReadsBackAsWritten's).
TEST_F(MixerConnectionTest, AValueSetElsewhereReadsAsTheLevelWritingTheNearestValue) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card")};
  ASSERT_TRUE(connection->open(1, 0));
  const struct {
    DWORD value;
    int level;
  } values[] = {{32799, 500}, {32800, 500}, {32801, 501}, {32, 0}, {33, 1}};
  for (const auto& v : values) {
    mixer.set_value(100, v.value);
    EXPECT_EQ(v.level, level_read(*connection)) << "value " << v.value;
  }
}

// Each level writes its share of the whole range, truncated, and reads back
// as itself, however wide the range: past 4,294,967 steps a 32-bit product
// would wrap.
TEST_F(MixerConnectionTest, EveryLevelReadsBackAsWrittenOnControlsOf1001ValuesOrMore) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.record_calls = false;
  mixer.devices = {ScriptedMixer::device(L"Card")};
  const struct {
    DWORD minimum, maximum;
  } bounds[] = {{0, 1000},        {0, 1001},        {0, 1999},
                {0, 65535},       {500, 66035},     {0, 4294967},
                {0, 4294968},     {0, 10000000},    {0xFFFF0000u, 0xFFFFFFFFu},
                {0, 0xFFFFFFFFu}, {1, 0xFFFFFFFFu}, {123456, 987654321}};
  for (const auto& b : bounds) {
    mixer.devices[0].speakers.minimum = b.minimum;
    mixer.devices[0].speakers.maximum = b.maximum;
    ASSERT_TRUE(connection->open(1, 0));
    const uint64_t range = b.maximum - b.minimum;
    std::vector<std::pair<int, int>> changed;
    std::vector<int> misplaced;
    for (int level = 0; level <= 1000; ++level) {
      connection->write_level(level);
      if (mixer.value_of(100) != b.minimum + range * static_cast<uint64_t>(level) / 1000) {
        misplaced.push_back(level);
      }
      const int back = level_read(*connection);
      if (back != level) changed.emplace_back(level, back);
    }
    EXPECT_EQ((std::vector<int>{}), misplaced)
        << "levels not written in proportion on " << b.minimum << ".." << b.maximum;
    EXPECT_EQ((std::vector<std::pair<int, int>>{}), changed)
        << "(written, read) on " << b.minimum << ".." << b.maximum;
  }
}

TEST_F(MixerConnectionTest, WinesInputDeviceFailsToOpenAndReportsIt) {
  host->change_volume(-602);
  host->clear_records();
  EXPECT_FALSE(connection->open(2, 0));
  EXPECT_EQ(
      std::vector<std::string>{"3|mixerGetLineInfo failed to enumerate master volume control - " +
                               winmm_text(MIXERR_INVALLINE)},
      console());
  EXPECT_EQ(nullptr, callback_window()) << "nothing is left half open";
  EXPECT_FALSE(callback_class_registered());
  // From now on the host's own volume is read and written.
  EXPECT_EQ(500, level_read(*connection));
  connection->write_level(100);
  EXPECT_EQ(std::vector<int>{-2000}, host->volume_sets());
}

TEST_F(MixerConnectionTest, ADeviceAboveTheCountFailsSilentlyAndKeepsTheWindow) {
  ASSERT_TRUE(connection->open(1, 0));
  const HWND window = callback_window();
  ASSERT_NE(nullptr, window);
  host->change_volume(-2000);
  host->clear_records();
  EXPECT_FALSE(connection->open(3, 0));
  EXPECT_TRUE(console().empty());
  EXPECT_EQ(window, callback_window());
  EXPECT_TRUE(callback_class_registered());
  EXPECT_EQ(100, level_read(*connection)) << "no mixer: the host's volume";
  EXPECT_TRUE(connection->open(0, 0));
  EXPECT_EQ(nullptr, callback_window());
  EXPECT_FALSE(callback_class_registered());
}

TEST_F(MixerConnectionTest, ACallbackWindowDestroyedFromOutsideIsMadeAgainAtTheNextOpen) {
  ASSERT_TRUE(connection->open(1, 0));
  // As the host's main window takes the windows it owns along when it goes.
  DestroyWindow(callback_window());
  ASSERT_TRUE(connection->open(1, 0));
  EXPECT_NE(nullptr, callback_window());
  EXPECT_TRUE(connection->open(0, 0));
  EXPECT_EQ(nullptr, callback_window());
  EXPECT_FALSE(callback_class_registered()) << "one registration, released once";
}

TEST_F(MixerConnectionTest, DeviceZeroCallsNoMixerFunction) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Speakers")};
  EXPECT_TRUE(connection->open(0, 5));
  EXPECT_TRUE(mixer.calls.empty());
  host->change_volume(-301);
  EXPECT_EQ(707, level_read(*connection));
  EXPECT_TRUE(mixer.calls.empty());
}

TEST_F(MixerConnectionTest, SwitchingDevicesClosesTheFirstAndReusesTheWindow) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  ASSERT_TRUE(mixer.applied());
  mixer.devices = {ScriptedMixer::device(L"First"), ScriptedMixer::device(L"Second")};
  testing_support::ImportPatch count(GetModuleHandleW(nullptr), "utf8api.dll", "uRegisterClass",
                                     reinterpret_cast<void*>(&counting_register_class));
  real_register_class = count.original<RegisterClassFn>();
  registrations = 0;

  ASSERT_TRUE(connection->open(1, 0));
  const HWND window = callback_window();
  EXPECT_EQ(window, mixer.callback_window()) << "notifications go to the hidden window";
  ASSERT_TRUE(connection->open(2, 0));
  EXPECT_EQ(window, callback_window());
  EXPECT_EQ(1, registrations.load());
  EXPECT_EQ(1, mixer.open_mixers()) << "the first device was closed";
  EXPECT_EQ(nullptr, mixer.handle_of(0));
  EXPECT_NE(nullptr, mixer.handle_of(1));
  EXPECT_EQ(window, mixer.callback_window()) << "the second device tells the same window";
}

TEST_F(MixerConnectionTest, SourceLinesAreCountedFromOneAndTakenFromDestinationZero) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card", 4)};
  ASSERT_TRUE(connection->open(1, 4));
  connection->write_level(1000);
  EXPECT_EQ(65535u, mixer.value_of(104)) << "control 4 is source line 3";
  EXPECT_EQ(0u, mixer.value_of(100));
  ASSERT_TRUE(connection->open(1, 5)) << "one past the last source line";
  connection->write_level(1000);
  EXPECT_EQ(65535u, mixer.value_of(100)) << "falls back to the speakers";
}

TEST_F(MixerConnectionTest, ArithmeticFollowsTheControlsBounds) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card")};
  mixer.devices[0].speakers.maximum = 100;
  ASSERT_TRUE(connection->open(1, 0));
  connection->write_level(500);
  EXPECT_EQ(50u, mixer.value_of(100));
  EXPECT_EQ(500, level_read(*connection));
  connection->write_level(999);
  EXPECT_EQ(99u, mixer.value_of(100));
  EXPECT_EQ(990, level_read(*connection));

  // An offset range: the minimum is added on the way out, taken off on the way in.
  mixer.devices[0].speakers.minimum = 1000;
  mixer.devices[0].speakers.maximum = 3000;
  ASSERT_TRUE(connection->open(1, 0));
  connection->write_level(250);
  EXPECT_EQ(1500u, mixer.value_of(100));
  EXPECT_EQ(250, level_read(*connection));
  // A driver's value outside its own bounds is held to them: below the
  // minimum is silence, not a level two million steps up the scale.
  mixer.set_value(100, 999);
  EXPECT_EQ(0, level_read(*connection));
  mixer.set_value(100, 0xFFFFFFFFu);
  EXPECT_EQ(1000, level_read(*connection));
}

TEST_F(MixerConnectionTest, AControlWithNoRangeReadsAsSilenceAndWritesItsMinimum) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Fixed")};
  mixer.devices[0].speakers.minimum = 7;
  mixer.devices[0].speakers.maximum = 7;
  mixer.devices[0].speakers.value = 7;
  ASSERT_TRUE(connection->open(1, 0));
  EXPECT_EQ(0, level_read(*connection));
  connection->write_level(800);
  EXPECT_EQ(7u, mixer.value_of(100));
  EXPECT_TRUE(console().empty());
}

struct OpenFailure {
  const char* what;
  void (*script)(testing_support::ScriptedDevice&);
  const char* message;
  bool closes_mixer;
};

class MixerOpenFailure : public MixerConnectionTest,
                         public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(MixerOpenFailure, TearsDownReportsAndFallsBackToTheHost) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card", 2)};
  ASSERT_TRUE(connection->open(1, 0)) << "a window kept from an earlier open goes too";
  mixer.calls.clear();
  GetParam().script(mixer.devices[0]);

  EXPECT_FALSE(connection->open(1, 2));
  EXPECT_EQ(
      std::vector<std::string>{std::string("3|") + GetParam().message + winmm_text(MMSYSERR_ERROR)},
      console());
  EXPECT_EQ(0, mixer.open_mixers());
  const int closes = static_cast<int>(
      std::count(mixer.calls.begin(), mixer.calls.end(), std::string("mixerClose(0)")));
  EXPECT_EQ(GetParam().closes_mixer ? 2 : 1, closes) << "the earlier open, and this one's";
  EXPECT_EQ(nullptr, callback_window());
  EXPECT_FALSE(callback_class_registered());
  host->clear_records();
  connection->write_level(10);
  EXPECT_EQ(std::vector<int>{-4000}, host->volume_sets());
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, MixerOpenFailure,
    ::testing::Values(
        OpenFailure{"open", [](auto& d) { d.open_result = MMSYSERR_ERROR; }, "mixerOpen failed - ",
                    false},
        OpenFailure{"speakers", [](auto& d) { d.speakers.query_result = MMSYSERR_ERROR; },
                    "mixerGetLineInfo failed to enumerate master volume control - ", true},
        OpenFailure{"source", [](auto& d) { d.sources[1].query_result = MMSYSERR_ERROR; },
                    "mixerGetLineInfo failed to enumerate source control - ", true},
        OpenFailure{"control", [](auto& d) { d.sources[1].controls_result = MMSYSERR_ERROR; },
                    "mixerGetLineControls failed - ", true}),
    [](const ::testing::TestParamInfo<OpenFailure>& info) { return info.param.what; });

TEST_F(MixerConnectionTest, FailedReadsAndWritesAreWarnings) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card")};
  mixer.devices[0].speakers.value = 65535;
  ASSERT_TRUE(connection->open(1, 0));
  mixer.details_get_result = MMSYSERR_INVALHANDLE;
  mixer.details_set_result = MMSYSERR_NOMEM;
  EXPECT_EQ(read_failed, level_read(*connection)) << "not silence";
  connection->write_level(300);
  EXPECT_EQ(
      (std::vector<std::string>{
          "2|mixerGetControlDetails failed in GetVolume - " + winmm_text(MMSYSERR_INVALHANDLE),
          "2|mixerSetControlDetails failed in SetVolume - " + winmm_text(MMSYSERR_NOMEM)}),
      console());
  EXPECT_EQ(65535u, mixer.value_of(100));
  EXPECT_TRUE(slider.positions().empty()) << "reads and writes broadcast nothing themselves";
}

TEST_F(MixerConnectionTest, OnlyTheOpenControlsChangeNoticeMovesTheSliders) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card", 1), ScriptedMixer::device(L"Other", 1)};
  ASSERT_TRUE(connection->open(1, 0));
  const HWND window = mixer.callback_window();
  const auto handle = reinterpret_cast<WPARAM>(mixer.handle_of(0));
  mixer.set_value(100, 32767);

  SendMessageW(window, MM_MIXM_CONTROL_CHANGE, handle, 101);      // another control of this mixer
  SendMessageW(window, MM_MIXM_CONTROL_CHANGE, handle + 1, 100);  // another mixer
  SendMessageW(window, MM_MIXM_LINE_CHANGE, handle, 0);
  EXPECT_TRUE(slider.positions().empty());

  EXPECT_EQ(0, SendMessageW(window, MM_MIXM_CONTROL_CHANGE, handle, 100));
  EXPECT_EQ(std::vector<std::string>{"1:500"}, slider.positions());

  // A level that cannot be read moves no slider to silence.
  mixer.details_get_result = MMSYSERR_ERROR;
  SendMessageW(window, MM_MIXM_CONTROL_CHANGE, handle, 100);
  EXPECT_EQ(std::vector<std::string>{"1:500"}, slider.positions());
  EXPECT_EQ(std::vector<std::string>{"2|mixerGetControlDetails failed in GetVolume - " +
                                     winmm_text(MMSYSERR_ERROR)},
            console());
}

// utf8api's window calls, made to fail the way the system fails them.
HWND __cdecl failing_create_window(DWORD, const char*, const char*, DWORD, int, int, int, int, HWND,
                                   HMENU, HINSTANCE, void*) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return nullptr;
}

TEST_F(MixerConnectionTest, WindowFailuresArePrintedStraightAway) {
  ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {ScriptedMixer::device(L"Card")};
  {
    testing_support::ImportPatch no_windows(GetModuleHandleW(nullptr), "utf8api.dll",
                                            "uCreateWindowEx",
                                            reinterpret_cast<void*>(&failing_create_window));
    ASSERT_TRUE(no_windows.applied());
    EXPECT_FALSE(connection->open(1, 0));
  }
  EXPECT_FALSE(callback_class_registered()) << "the class taken for the window is given back";

  // A class of that name already registered by someone else, and in use.
  WNDCLASSW squatter = {};
  squatter.lpfnWndProc = DefWindowProcW;
  squatter.hInstance = GetModuleHandleW(nullptr);
  squatter.lpszClassName = callback_class;
  ASSERT_NE(0, RegisterClassW(&squatter));
  HWND squatting = CreateWindowW(callback_class, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, squatting);
  EXPECT_FALSE(connection->open(1, 0));
  DestroyWindow(squatting);
  UnregisterClassW(callback_class, GetModuleHandleW(nullptr));
  EXPECT_TRUE(mixer.calls.empty() || std::find(mixer.calls.begin(), mixer.calls.end(),
                                               "mixerOpen(0)") == mixer.calls.end())
      << "no mixer is opened without its window";

  EXPECT_EQ((std::vector<std::string>{"3|Failed to create mixer callback window - " +
                                          system_text(ERROR_NOT_ENOUGH_MEMORY),
                                      "3|Failed to register mixer callback window class - " +
                                          system_text(ERROR_CLASS_ALREADY_EXISTS)}),
            console());
  // Once the name is free again, the next open registers the class anew.
  EXPECT_TRUE(connection->open(1, 0));
  EXPECT_TRUE(callback_class_registered());
}

}  // namespace
