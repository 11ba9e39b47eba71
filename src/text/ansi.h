// Conversions through the system ANSI code page, and copies of UTF-8 text for Windows calls.
#pragma once

#include <cstdint>

#include "text/scratch_buffer.h"
#include "text/utf8_string.h"

namespace dwx {

// Each writes a NUL of its output width after what it converted and returns
// the number of units written before it; a failing system call converts
// nothing. With n the bounded source length, callers provide room for n + 1
// units, except for ansi_to_utf8 and utf16_to_ansi, which need 3n + 1 bytes:
// one ANSI byte can become three bytes of UTF-8, and one UTF-16 unit two
// bytes of a double-byte code page (932, 936, 949), three where the ANSI code
// page is UTF-8.
uint32_t ansi_to_utf16(const char* source, char16_t* destination, uint32_t max_bytes);
uint32_t utf16_to_ansi(const char16_t* source, char* destination, uint32_t max_units);
// Through UTF-16, in scratch space from the stack up to 4096 bytes.
uint32_t utf8_to_ansi(const char* source, char* destination, uint32_t max_bytes);
uint32_t ansi_to_utf8(const char* source, char* destination, uint32_t max_bytes);

// Appends ANSI text converted to UTF-8 (at most max_bytes bytes of it).
void append_ansi(Utf8String& string, const char* source, uint32_t max_bytes);
inline void set_from_ansi(Utf8String& string, const char* source, uint32_t max_bytes) {
  string.truncate(0);
  append_ansi(string, source, max_bytes);
}

// A copy of UTF-8 text in the form a wide Windows call takes. Like the
// conversions' scratch space it lives on the stack up to 4096 bytes, so that
// a short text, a tooltip's at every mouse move of a drag, costs no heap
// allocation; null when a longer one found no room on the heap.
class WideCopy {
 public:
  explicit WideCopy(const char* utf8);
  WideCopy(const WideCopy&) = delete;
  WideCopy& operator=(const WideCopy&) = delete;
  const wchar_t* get() const { return reinterpret_cast<const wchar_t*>(text_); }

 private:
  uint32_t bytes_;  // of the source; the buffer is sized from it
  ScratchBuffer buffer_;
  char16_t* text_ = nullptr;
};

// The same for an ANSI Windows call.
class AnsiCopy {
 public:
  explicit AnsiCopy(const char* utf8);
  AnsiCopy(const AnsiCopy&) = delete;
  AnsiCopy& operator=(const AnsiCopy&) = delete;
  const char* get() const { return text_; }

 private:
  uint32_t bytes_;
  ScratchBuffer buffer_;
  char* text_ = nullptr;
};

}  // namespace dwx
