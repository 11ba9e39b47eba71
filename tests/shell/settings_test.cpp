// What the shell keeps between runs, and what it does with a file it cannot
// trust or cannot open.
#include <windows.h>

#include <shlobj.h>

#include <string>

#include "shell/config_file.h"
#include "shell/config_location.h"
#include "shell/text.h"
#include "shell_fixture.h"
#include "support/blob.h"

namespace {

using shell::Placement;
using shell::SliderKind;
using shell_testing::read_file;
using shell_testing::ShellTest;
using shell_testing::write_file;

RECT window_rect(HWND window) {
  RECT rect = {};
  GetWindowRect(window, &rect);
  return rect;
}

RECT work_area(HWND window) {
  MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor.rcWork;
}

bool inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

TEST_F(ShellTest, ASavedSessionComesBackAsItWasLeft) {
  window->place(SliderKind::toolbar, Placement::floating);
  window->place(SliderKind::panel, Placement::hidden);
  SetWindowPos(window->dock(SliderKind::toolbar, Placement::floating).container(), nullptr, 300,
               250, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  WINDOWPLACEMENT placement = {sizeof placement, 0, 0, {}, {}, {}};
  GetWindowPlacement(window->window(), &placement);
  placement.rcNormalPosition = RECT{70, 80, 770, 530};
  placement.showCmd = SW_SHOWMAXIMIZED;
  SetWindowPlacement(window->window(), &placement);
  session->host().change_volume(-1234);
  close();

  start();
  EXPECT_EQ(Placement::floating, window->placement(SliderKind::toolbar));
  EXPECT_EQ(Placement::hidden, window->placement(SliderKind::panel));
  const RECT frame =
      window_rect(window->dock(SliderKind::toolbar, Placement::floating).container());
  EXPECT_EQ(300, frame.left);
  EXPECT_EQ(250, frame.top);
  WINDOWPLACEMENT restored = {sizeof restored, 0, 0, {}, {}, {}};
  GetWindowPlacement(window->window(), &restored);
  EXPECT_EQ(static_cast<UINT>(SW_SHOWMAXIMIZED), restored.showCmd);
  EXPECT_EQ(70, restored.rcNormalPosition.left);
  EXPECT_EQ(80, restored.rcNormalPosition.top);
  EXPECT_EQ(770, restored.rcNormalPosition.right);
  EXPECT_EQ(530, restored.rcNormalPosition.bottom);
  EXPECT_EQ(-1234, session->host().volume());
}

TEST_F(ShellTest, WindowsSavedOffScreenOpenOnAVisibleWorkArea) {
  window->place(SliderKind::panel, Placement::floating);
  const HWND frame = window->dock(SliderKind::panel, Placement::floating).container();
  SetWindowPos(frame, nullptr, -5000, 9000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(window->window(), nullptr, 7000, -3000, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  close();

  start();
  const HWND reopened = window->dock(SliderKind::panel, Placement::floating).container();
  EXPECT_TRUE(inside(window_rect(reopened), work_area(reopened)));
  EXPECT_TRUE(inside(window_rect(window->window()), work_area(window->window())));
}

TEST(ShellConfig, AFileThatCannotBeOpenedIsSaidAndNotWrittenAtExit) {
  const std::wstring path = shell_testing::temporary_path(L"shell_locked_test.cfg");
  const std::vector<uint8_t> file =
      shell::encode_config(testing_support::BlobBuilder().record("mixer_mute_level", 640));
  write_file(path, file);
  // Another program holds it, shared with nobody, while the shell starts.
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  {
    shell::ComponentSession session(path);
    std::string error;
    ASSERT_TRUE(session.start(&error)) << error;
    CloseHandle(held);
    EXPECT_NE(std::string::npos, session.config_problem().find("could not be read"))
        << session.config_problem();
    session.stop();
  }
  EXPECT_EQ(file, read_file(path)) << "kept as it was";
  DeleteFileW(path.c_str());
}

TEST(ShellConfig, ADamagedFileIsKeptBesideAsBadAndANewOneWritten) {
  const std::vector<uint8_t> sound =
      shell::encode_config(testing_support::BlobBuilder().record("mixer_mute_level", 640));
  std::vector<uint8_t> flipped = sound, cut = sound, longer = sound;
  flipped[sound.size() - 2] ^= 0x10;
  cut.resize(sound.size() - 5);
  longer.push_back(0);
  const struct {
    const char* damage;
    std::vector<uint8_t> file;
  } cases[] = {{"bad header", {'P', 'L', 'V', 'X', 'x'}},
               {"wrong length", cut},
               {"wrong checksum", flipped},
               {"trailing bytes", longer}};
  for (const auto& c : cases) {
    const std::wstring path = shell_testing::temporary_path(L"shell_damaged_test.cfg");
    write_file(path, c.file);
    {
      shell::ComponentSession session(path);
      std::string error;
      ASSERT_TRUE(session.start(&error)) << error;
      EXPECT_NE(std::string::npos, session.config_problem().find("shell_damaged_test.cfg.bad"))
          << c.damage << ": " << session.config_problem();
      session.stop();
    }
    EXPECT_EQ(c.file, read_file(path + L".bad")) << c.damage;
    EXPECT_EQ("", shell::load_config(path).problem) << c.damage << ": a sound file written";
    DeleteFileW(path.c_str());
    DeleteFileW((path + L".bad").c_str());
  }
}

// --config takes a name as a person types it: relative to the folder the
// shell started in, even once the Open dialog has moved the current folder,
// and always a file.
TEST(ShellConfig, ARelativeNameIsAFileInTheFolderTheShellStartedIn) {
  const std::wstring base = shell_testing::temporary_path(L"shell_relative_test") + L"\\";
  const std::wstring elsewhere = base + L"elsewhere";
  CreateDirectoryW(base.c_str(), nullptr);
  CreateDirectoryW(elsewhere.c_str(), nullptr);
  wchar_t started_in[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, started_in);
  const struct {
    const wchar_t* given;
    const wchar_t* lands;  // under `base`
  } cases[] = {{L"bare.cfg", L"bare.cfg"},
               {L".\\dotted.cfg", L"dotted.cfg"},
               {L"sub\\nested.cfg", L"sub\\nested.cfg"}};  // its folder made at the save
  for (const auto& c : cases) {
    const std::string trace = shell::narrow(c.given);
    ASSERT_TRUE(SetCurrentDirectoryW(base.c_str()));
    {
      shell::ComponentSession session(c.given);
      std::string error;
      ASSERT_TRUE(session.start(&error)) << error;
      session.host().change_volume(-500);
      SetCurrentDirectoryW(elsewhere.c_str());
      EXPECT_TRUE(session.stop()) << trace << ": saved";
    }
    SetCurrentDirectoryW(started_in);
    const std::wstring file = base + c.lands;
    const DWORD attributes = GetFileAttributesW(file.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        << trace << ": a file, not a folder";
    const shell::LoadedConfig saved = shell::load_config(file);
    EXPECT_EQ(shell::LoadedConfig::State::sound, saved.state) << trace << ": " << saved.problem;
    EXPECT_EQ(-500, saved.shell.volume_hdb) << trace;
    // What a shell that lost its way may have left, here or elsewhere.
    for (const std::wstring& folder : {base, elsewhere + L"\\"}) {
      DeleteFileW((folder + c.lands).c_str());
      DeleteFileW((folder + c.lands + L".new").c_str());
      RemoveDirectoryW((folder + c.lands).c_str());
      RemoveDirectoryW((folder + L"sub").c_str());
    }
  }
  RemoveDirectoryW(elsewhere.c_str());
  RemoveDirectoryW(base.c_str());
}

}  // namespace

namespace {

TEST(ShellConfig, LivesInAppDataUnlessAFileBesideTheProgramIsThere) {
  wchar_t appdata[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appdata);
  const std::wstring roaming = std::wstring(appdata) + L"\\Plinvox\\plinvox_shell.cfg";
  const std::wstring portable = shell::program_folder() + L"plinvox_shell.cfg";
  EXPECT_EQ("%APPDATA%\\Plinvox\\plinvox_shell.cfg", shell::shown_path(roaming))
      << "no path of this machine on the console";
  if (GetFileAttributesW(portable.c_str()) != INVALID_FILE_ATTRIBUTES) {
    EXPECT_EQ(shell::narrow(portable), shell::narrow(shell::default_config_path()));
    return;  // someone's portable copy: left as it is
  }
  EXPECT_EQ(shell::narrow(roaming), shell::narrow(shell::default_config_path()));
  write_file(portable, {});
  EXPECT_EQ(shell::narrow(portable), shell::narrow(shell::default_config_path()));
  DeleteFileW(portable.c_str());
}

}  // namespace
