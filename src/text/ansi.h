// Conversions through the system ANSI code page, and copies of UTF-8 text for Windows calls.
#pragma once

#include <cstdint>

#include "text/scratch_buffer.h"
#include "text/span.h"
#include "text/utf8_string.h"

namespace dwx {

// Each writes a NUL of its output width after what it converted (when the
// destination has room for anything at all) and returns the number of units
// written before it. A failing system call converts nothing, and so does a
// destination too small for the whole text: the system converts all or
// nothing. With n the bounded source length, n + 1 units hold any text,
// except for ansi_to_utf8 and utf16_to_ansi, which may need 3n + 1 bytes: one
// ANSI byte can become three bytes of UTF-8, and one UTF-16 unit two bytes of
// a double-byte code page (932, 936, 949), three where the ANSI code page is
// UTF-8.
uint32_t ansi_to_utf16(const char* source, Span<char16_t> destination, uint32_t max_bytes);
uint32_t utf16_to_ansi(const char16_t* source, Span<char> destination, uint32_t max_units);
// Through UTF-16, in scratch space from the stack up to conversion_stack_bytes.
uint32_t utf8_to_ansi(const char* source, Span<char> destination, uint32_t max_bytes);
uint32_t ansi_to_utf8(const char* source, Span<char> destination, uint32_t max_bytes);

// Appends ANSI text converted to UTF-8 (at most max_bytes bytes of it).
void append_ansi(Utf8String& string, const char* source, uint32_t max_bytes);
inline void set_from_ansi(Utf8String& string, const char* source, uint32_t max_bytes) {
  string.truncate(0);
  append_ansi(string, source, max_bytes);
}

// The stack a copy for a Windows call takes at most. The copies are made in
// window procedures, a tooltip's text at every mouse move of a drag: a level
// ("-6.02 dB", "50.5%") fits with room to spare and costs no heap call.
constexpr uint32_t copy_stack_bytes = 256;

// A copy of UTF-8 text in the form a wide Windows call takes; null when a
// long text found no room on the heap.
class WideCopy {
 public:
  explicit WideCopy(const char* utf8);
  WideCopy(const WideCopy&) = delete;
  WideCopy& operator=(const WideCopy&) = delete;
  const wchar_t* get() const { return reinterpret_cast<const wchar_t*>(text_); }

 private:
  uint32_t bytes_;  // of the source; the buffer is sized from it
  ScratchBuffer<copy_stack_bytes> buffer_;
  char16_t* text_ = nullptr;
};

// The same for an ANSI Windows call. The buffer holds the UTF-16 form on the
// way as well as the copy.
class AnsiCopy {
 public:
  explicit AnsiCopy(const char* utf8);
  AnsiCopy(const AnsiCopy&) = delete;
  AnsiCopy& operator=(const AnsiCopy&) = delete;
  const char* get() const { return text_; }

 private:
  uint32_t bytes_;
  ScratchBuffer<copy_stack_bytes> buffer_;
  char* text_ = nullptr;
};

}  // namespace dwx
