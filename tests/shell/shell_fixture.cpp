// The shell in this test program.
#include "shell_fixture.h"

#include <algorithm>
#include <cstring>

#include "shell/text.h"

namespace shell_testing {

std::wstring temporary_path(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  DeleteFileW(path.c_str());
  DeleteFileW((path + L".bad").c_str());
  return path;
}

void write_file(const std::wstring& path, const std::vector<uint8_t>& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::vector<uint8_t> read_file(const std::wstring& path) {
  std::vector<uint8_t> bytes;
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  uint8_t chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) {
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  CloseHandle(file);
  return bytes;
}

namespace {

std::string label_of(HMENU menu, int position) {
  wchar_t text[128] = {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  std::string label = shell::narrow(text);
  label = label.substr(0, label.find('\t'));
  label.erase(std::remove(label.begin(), label.end(), '&'), label.end());
  return label;
}

}  // namespace

std::string checked_placement(HMENU menu, const std::string& name) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    HMENU sub = GetSubMenu(menu, i);
    if (sub == nullptr) continue;
    if (label_of(menu, i) == name) {
      for (int j = 0; j < GetMenuItemCount(sub); ++j) {
        if (GetMenuState(sub, static_cast<UINT>(j), MF_BYPOSITION) & MF_CHECKED) {
          return label_of(sub, j);
        }
      }
      return "";
    }
    const std::string found = checked_placement(sub, name);
    if (found != "(none)") return found;
  }
  return "(none)";
}

UINT command_labelled(HMENU menu, const std::string& label) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      if (UINT id = command_labelled(sub, label)) return id;
    } else if (label_of(menu, i) == label) {
      return GetMenuItemID(menu, i);
    }
  }
  return 0;
}

void ShellTest::SetUp() {
  config = temporary_path(L"shell_window_test.cfg");
  start();
}

void ShellTest::TearDown() {
  if (window) close();
  DeleteFileW(config.c_str());
  DeleteFileW((config + L".bad").c_str());
}

void ShellTest::start() {
  session = std::make_unique<shell::ComponentSession>(config);
  std::string error;
  ASSERT_TRUE(session->start(&error)) << error;
  window = std::make_unique<shell::MainWindow>(*session);
  ASSERT_TRUE(window->create());
  testing_support::flush_events();
}

void ShellTest::close() {
  if (IsWindow(window->window())) SendMessageW(window->window(), WM_CLOSE, 0, 0);
  testing_support::flush_events();
  window.reset();
  session.reset();
}

}  // namespace shell_testing
