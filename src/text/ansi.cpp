// Conversions through the system ANSI code page, by way of UTF-16.
#include "text/ansi.h"

#include <windows.h>

#include "text/scratch_buffer.h"
#include "text/text_copy.h"
#include "text/utf_codec.h"

namespace dwx {

namespace {

// Both system calls answer a zero capacity with the size they would need,
// having written nothing: never hand them one, or the count returned would
// place the NUL past the destination.
uint32_t wide_to_ansi(const char16_t* source, uint32_t units, char* destination,
                      uint32_t capacity) {
  int written = 0;
  if (units != 0 && capacity != 0) {
    written = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(source),
                                  static_cast<int>(units), destination, static_cast<int>(capacity),
                                  nullptr, nullptr);
  }
  if (written < 0) written = 0;
  destination[written] = '\0';
  return static_cast<uint32_t>(written);
}

uint32_t ansi_to_wide(const char* source, uint32_t bytes, char16_t* destination,
                      uint32_t capacity) {
  int written = 0;
  if (bytes != 0 && capacity != 0) {
    written =
        MultiByteToWideChar(CP_ACP, 0, source, static_cast<int>(bytes),
                            reinterpret_cast<wchar_t*>(destination), static_cast<int>(capacity));
  }
  if (written < 0) written = 0;
  destination[written] = 0;
  return static_cast<uint32_t>(written);
}

// The system calls take int counts.
constexpr uint32_t max_count = 0x7FFFFFFF;

uint32_t clamp_count(uint32_t n) { return n < max_count ? n : max_count; }

// The most bytes any ANSI code page makes of n UTF-16 units.
uint32_t ansi_bytes_for(uint32_t units) { return units <= max_count / 3 ? 3 * units : max_count; }

}  // namespace

uint32_t ansi_to_utf16(const char* source, char16_t* destination, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  // An ANSI byte never makes more than one UTF-16 unit.
  return ansi_to_wide(source, bytes, destination, bytes);
}

uint32_t utf16_to_ansi(const char16_t* source, char* destination, uint32_t max_units) {
  const uint32_t units = clamp_count(bounded_length(source, max_units));
  return wide_to_ansi(source, units, destination, ansi_bytes_for(units));
}

uint32_t utf8_to_ansi(const char* source, char* destination, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  ScratchBuffer scratch(utf16_scratch_bytes(bytes));
  if (scratch.data() == nullptr) {
    destination[0] = '\0';
    return 0;
  }
  char16_t* wide = reinterpret_cast<char16_t*>(scratch.data());
  const uint32_t units = utf8_to_utf16(source, wide, bytes);
  // No character takes more bytes in an ANSI code page than in UTF-8, so the
  // caller's room for the UTF-8 bytes holds the result.
  return wide_to_ansi(wide, units, destination, bytes);
}

uint32_t ansi_to_utf8(const char* source, char* destination, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  ScratchBuffer scratch(utf16_scratch_bytes(bytes));
  if (scratch.data() == nullptr) {
    destination[0] = '\0';
    return 0;
  }
  char16_t* wide = reinterpret_cast<char16_t*>(scratch.data());
  const uint32_t units = ansi_to_wide(source, bytes, wide, bytes);
  return utf16_to_utf8(wide, destination, units);
}

void append_ansi(Utf8String& string, const char* source, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  ScratchBuffer scratch(utf8_scratch_bytes(bytes));
  if (scratch.data() == nullptr) return;
  char* converted = reinterpret_cast<char*>(scratch.data());
  const uint32_t length = ansi_to_utf8(source, converted, bytes);
  string.append(converted, length);
}

WideCopy::WideCopy(const char* utf8)
    : bytes_(clamp_count(bounded_length(utf8, unbounded))), buffer_(utf16_scratch_bytes(bytes_)) {
  if (utf8 == nullptr || buffer_.data() == nullptr) return;
  text_ = reinterpret_cast<char16_t*>(buffer_.data());
  utf8_to_utf16(utf8, text_, bytes_);
}

AnsiCopy::AnsiCopy(const char* utf8)
    : bytes_(clamp_count(bounded_length(utf8, unbounded))), buffer_(bytes_ + 1) {
  if (utf8 == nullptr || buffer_.data() == nullptr) return;
  text_ = reinterpret_cast<char*>(buffer_.data());
  utf8_to_ansi(utf8, text_, bytes_);
}

}  // namespace dwx
