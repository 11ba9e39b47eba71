// Result codes looked up in the message tables, in UTF-8.
#include "support/system_texts.h"

#include <windows.h>

namespace testing_support {

namespace {

std::string format_message(unsigned code, DWORD source_flag, HMODULE module) {
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | source_flag,
                     module, code, 0, reinterpret_cast<LPWSTR>(&text), 256, nullptr);
  std::string utf8;
  if (length != 0) {
    char buffer[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    utf8 = buffer;
    LocalFree(text);
  }
  return utf8;
}

}  // namespace

std::string winmm_text(unsigned code) {
  return format_message(code, FORMAT_MESSAGE_FROM_HMODULE, GetModuleHandleW(L"winmm.dll"));
}

std::string system_text(unsigned code) {
  return format_message(code, FORMAT_MESSAGE_FROM_SYSTEM, nullptr);
}

}  // namespace testing_support
