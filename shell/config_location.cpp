// Where the shell's configuration file lives.
#include "shell/config_location.h"

#include <windows.h>

#include <shlobj.h>

#include "shell/component_session.h"
#include "shell/text.h"

namespace shell {

namespace {

constexpr wchar_t file_name[] = L"plinvox_shell.cfg";

std::wstring appdata_folder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, 0, folder))) return {};
  return folder;
}

std::wstring temporary_folder() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = folder;
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

bool starts_with_folder(const std::wstring& path, const std::wstring& folder) {
  return !folder.empty() && path.size() > folder.size() &&
         CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                              static_cast<int>(folder.size()), TRUE) == CSTR_EQUAL &&
         (path[folder.size()] == L'\\' || path[folder.size()] == L'/');
}

}  // namespace

std::wstring default_config_path() {
  const std::wstring portable = program_folder() + file_name;
  if (GetFileAttributesW(portable.c_str()) != INVALID_FILE_ATTRIBUTES) return portable;
  const std::wstring appdata = appdata_folder();
  if (appdata.empty()) return portable;
  return appdata + L"\\Plinvox\\" + file_name;
}

std::wstring scripted_config_path() {
  const std::wstring folder =
      temporary_folder() + L"\\plinvox_shell_script_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring path = folder + L"\\" + file_name;
  DeleteFileW(path.c_str());  // left by an earlier process of the same number
  return path;
}

void remove_scripted_config(const std::wstring& path) {
  DeleteFileW(path.c_str());
  DeleteFileW((path + L".bad").c_str());
  RemoveDirectoryW(path.substr(0, path.find_last_of(L'\\')).c_str());
}

std::string shown_path(const std::wstring& path) {
  const struct {
    std::wstring folder;
    const char* name;
  } known[] = {{appdata_folder(), "%APPDATA%"}, {temporary_folder(), "%TEMP%"}};
  for (const auto& each : known) {
    if (starts_with_folder(path, each.folder)) {
      return each.name + narrow(path.substr(each.folder.size()));
    }
  }
  return narrow(path);
}

}  // namespace shell
