// The shell's scripted session, run as its own program: it must do what it
// says and leave a configuration that says the same.
#include <windows.h>

#include <gtest/gtest.h>

#include <shlobj.h>

#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "shell/config_file.h"
#include "shell/component_session.h"
#include "shell/text.h"
#include "support/blob.h"

namespace {

struct ShellRun {
  DWORD exit_code = 0;
  std::string output;
  std::vector<std::string> boxes;  // the text of each message box it showed
};

std::string class_of(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return shell::narrow(name);
}

// The message box's words: every static text in it.
std::string box_text(HWND box) {
  std::string text;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t words[512] = {};
    if (class_of(child) == "Static" && GetWindowTextW(child, words, 512) > 0) {
      text += shell::narrow(words) + "\n";
    }
  }
  return text;
}

// The top-level windows of one process.
struct WindowsOf {
  DWORD process;
  std::vector<HWND> found;

  static BOOL CALLBACK add(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowsOf*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->process) search->found.push_back(window);
    return TRUE;
  }
};

// Starts the shell with `arguments` and collects what it prints. Each message
// box it shows is read and answered; once `close_after` were, its main
// window is closed as the caption button does.
ShellRun run_shell(const std::wstring& arguments, size_t close_after = 0) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  CreatePipe(&read_end, &write_end, &inherit, 0);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION process = {};
  std::wstring command = L"\"" + shell::program_folder() + L"plinvox_shell.exe\" " + arguments;
  ShellRun run;
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    run.exit_code = 0xFFFFFFFF;
    return run;
  }
  CloseHandle(write_end);
  std::thread reader([&] {
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(read_end, chunk, sizeof chunk, &got, nullptr) && got > 0) {
      run.output.append(chunk, got);
    }
  });
  WindowsOf search = {process.dwProcessId, {}};
  std::set<HWND> answered;
  bool closed = false;
  for (int waited = 0; waited < 120000 && WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT;
       waited += 50) {
    search.found.clear();
    EnumWindows(&WindowsOf::add, reinterpret_cast<LPARAM>(&search));
    for (HWND window : search.found) {
      const std::string name = class_of(window);
      if (name == "#32770" && IsWindowVisible(window) && answered.insert(window).second) {
        run.boxes.push_back(box_text(window));
        PostMessageW(window, WM_COMMAND, IDOK, 0);
      } else if (name == "PlinvoxShellMain" && close_after > 0 && !closed &&
                 run.boxes.size() >= close_after && IsWindowEnabled(window)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        closed = true;
      }
    }
  }
  if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
    TerminateProcess(process.hProcess, 9);
  reader.join();
  GetExitCodeProcess(process.hProcess, &run.exit_code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  CloseHandle(read_end);
  return run;
}

std::wstring temporary_config(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  DeleteFileW(path.c_str());
  return path;
}

TEST(ShellScript, RunsItsSessionAndKeepsWhatItSet) {
  const std::wstring config = temporary_config(L"shell_script_test.cfg");
  const ShellRun run = run_shell(L"--script --config \"" + config + L"\"");
  ASSERT_EQ(0u, run.exit_code) << run.output;

  std::smatch muted;
  ASSERT_TRUE(std::regex_search(run.output, muted, std::regex("muted at level (\\d+)")))
      << run.output;
  EXPECT_NE(std::string::npos, run.output.find("picked the device \"Out: default\"")) << run.output;
  // What a screen reader hears of each slider: the level as the tooltip
  // writes it, in decibels, and in per cent once a mixer device is picked.
  for (const std::string slider : {"toolbar", "panel"}) {
    for (const char* level : {"-?\\d+\\.\\d\\d dB", "\\d+\\.\\d%"}) {
      const std::regex heard("a screen reader hears the " + slider +
                             " slider as \"Volume, slider, " + level + "\"");
      EXPECT_TRUE(std::regex_search(run.output, heard)) << slider << " " << level << run.output;
    }
  }

  const shell::LoadedConfig saved = shell::load_config(config);
  EXPECT_EQ("", saved.problem);
  const auto values = testing_support::blob_values(saved.blob);
  EXPECT_EQ(1, values.at("mixer_id")) << "the device picked on the preferences page";
  EXPECT_EQ(0, values.at("mixer_control"));
  EXPECT_EQ(std::stoi(muted[1]), values.at("mixer_mute_level")) << "the level the mute silenced";
  EXPECT_GT(values.at("mixer_mute_level"), 0);

  // Every picture it names is a PNG file.
  std::smatch picture;
  std::string rest = run.output;
  int pictures = 0;
  while (std::regex_search(rest, picture, std::regex("picture: ([^\\r\\n]+)"))) {
    HANDLE file = CreateFileA(picture[1].str().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << picture[1];
    char signature[8] = {};
    DWORD got = 0;
    ReadFile(file, signature, 8, &got, nullptr);
    CloseHandle(file);
    EXPECT_EQ(0, memcmp(signature, "\x89PNG\r\n\x1A\n", 8)) << picture[1];
    ++pictures;
    rest = picture.suffix();
  }
  EXPECT_GE(pictures, 3);
  DeleteFileW(config.c_str());
}

// When a file was last written, or 0 when there is none.
ULONGLONG written_at(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32 | data.ftLastWriteTime.dwLowDateTime;
}

TEST(ShellScript, LeavesTheUsersOwnConfigurationAlone) {
  wchar_t appdata[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, appdata);
  const std::wstring users[] = {std::wstring(appdata) + L"\\Plinvox\\plinvox_shell.cfg",
                                shell::program_folder() + L"plinvox_shell.cfg"};
  const ULONGLONG before[] = {written_at(users[0]), written_at(users[1])};
  const ShellRun run = run_shell(L"--script");
  ASSERT_EQ(0u, run.exit_code) << run.output;
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(before[i], written_at(users[i])) << shell::narrow(users[i]);
  }
}

// Started from Explorer, the shell opens no console window, and it asks for
// visual styles and its own sizes on every monitor.
TEST(ShellProgram, IsAWindowsProgramWithAManifest) {
  const std::wstring path = shell::program_folder() + L"plinvox_shell.exe";
  HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(nullptr, image);
  const auto* base =
      reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(image) & ~uintptr_t{3});
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  EXPECT_EQ(IMAGE_SUBSYSTEM_WINDOWS_GUI, nt->OptionalHeader.Subsystem);

  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(nullptr, found) << "no application manifest";
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(image, found))),
                             SizeofResource(image, found));
  for (const char* part : {"Microsoft.Windows.Common-Controls", "6.0.0.0", "PerMonitorV2"}) {
    EXPECT_NE(std::string::npos, manifest.find(part)) << part;
  }
  FreeLibrary(image);
}

// How "Open with" and a file dropped on the program start it, and what a
// person sees of an argument it does not understand: a Windows program has
// no console to print to.
TEST(ShellProgram, PlaysAFileNamedByItselfAndShowsWhatItDoesNotUnderstand) {
  const std::wstring config = temporary_config(L"shell_arguments_test.cfg");
  const std::wstring file = temporary_config(L"shell_arguments_test.wav");
  HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, "not a sound", 11, &written, nullptr);
  CloseHandle(handle);
  const struct {
    std::wstring arguments;
    DWORD exit_code;
    const char* shown;
  } cases[] = {
      {L"--config \"" + config + L"\" \"" + file + L"\"", 0,
       "Cannot play shell_arguments_test.wav"},
      {L"--bogus", 2, "unknown argument: --bogus"},
      {L"--config", 2, "--config needs a file name"},
  };
  for (const auto& c : cases) {
    const std::string trace = shell::narrow(c.arguments);
    const ShellRun run = run_shell(c.arguments, 1);
    EXPECT_EQ(c.exit_code, run.exit_code) << trace << "\n" << run.output;
    ASSERT_EQ(1u, run.boxes.size()) << trace << "\n" << run.output;
    EXPECT_NE(std::string::npos, run.boxes[0].find(c.shown)) << trace << "\n" << run.boxes[0];
  }
  DeleteFileW(file.c_str());
  DeleteFileW(config.c_str());
}

TEST(ShellScript, ADamagedConfigurationIsSaidAndDoesNotStopTheShell) {
  const std::wstring config = temporary_config(L"shell_damaged_test.cfg");
  std::vector<uint8_t> file = shell::encode_config(testing_support::BlobBuilder()
                                                       .record("mixer_mute_level", 640)
                                                       .record("mixer_control", 0)
                                                       .record("mixer_id", 0));
  file.resize(file.size() - 6);  // the last record cut inside
  HANDLE handle = CreateFileW(config.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(handle, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
  CloseHandle(handle);

  const ShellRun run = run_shell(L"--script --config \"" + config + L"\"");
  EXPECT_EQ(0u, run.exit_code) << run.output;
  EXPECT_NE(std::string::npos, run.output.find("configuration file is damaged")) << run.output;
  const shell::LoadedConfig saved = shell::load_config(config);
  EXPECT_EQ("", saved.problem) << "a sound file is written back";
  EXPECT_EQ(1, testing_support::blob_values(saved.blob).at("mixer_id"));
  DeleteFileW(config.c_str());
}

}  // namespace
