// The system's message text for an error code, in UTF-8.
#include "text/system_error.h"

#include "host/utf8api.h"
#include "text/ansi.h"
#include "text/text_copy.h"

namespace dwx {

namespace {

// Windows allocates the message buffer itself, at least this many characters.
constexpr DWORD minimum_characters = 256;

}  // namespace

Utf8String system_error_text(uint32_t code, HMODULE module) {
  Utf8String text(GrowthMode::exact);
  // No insert arguments are ever given: without IGNORE_INSERTS a message that
  // has a "%1" fails (or reads arguments that are not there) instead of
  // coming back as it stands.
  const DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
      (module != nullptr ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM);
  if (IsUnicode()) {
    wchar_t* message = nullptr;
    if (FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&message),
                       minimum_characters, nullptr) != 0 &&
        message != nullptr) {
      text.set_from_utf16(reinterpret_cast<const char16_t*>(message), unbounded);
      LocalFree(message);
    }
  } else {
    char* message = nullptr;
    if (FormatMessageA(flags, module, code, 0, reinterpret_cast<char*>(&message),
                       minimum_characters, nullptr) != 0 &&
        message != nullptr) {
      set_from_ansi(text, message, unbounded);
      LocalFree(message);
    }
  }
  return text;
}

Utf8String winmm_error_text(uint32_t code) {
  return system_error_text(code, uGetModuleHandle("WINMM"));
}

}  // namespace dwx
