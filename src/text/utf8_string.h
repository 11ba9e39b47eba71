// A growable UTF-8 string that is also a host string object.
#pragma once

#include <cstdint>

#include "host/host_string.h"
#include "text/byte_block.h"

namespace dwx {

// Its operations sit in the slots of the host's string object, so it can be
// filled by utf8api's uPrintfV and handed wherever a host string is expected.
// The buffer holds the text and one NUL byte; its size stays between the
// bytes needed and 32 more (16 spare after growing), and its growth mode
// decides how much memory is actually allocated.
class Utf8String final : public HostString {
 public:
  explicit Utf8String(GrowthMode mode = GrowthMode::exact) : buffer_(mode) {}
  // Takes over the other string's buffer, leaving it empty.
  Utf8String(Utf8String&& other) noexcept;
  Utf8String(const Utf8String&) = delete;
  Utf8String& operator=(const Utf8String&) = delete;

  const char* get_text() override;
  void append(const char* text, uint32_t max_length) override;
  void set(const char* text, uint32_t max_length) override;
  void truncate(uint32_t length) override;
  uint32_t length() override { return length_; }

  const char* c_str() { return get_text(); }
  const ByteBlock& buffer() const { return buffer_; }

  // Appends UTF-16 text converted to UTF-8 (at most max_units units).
  void append_utf16(const char16_t* text, uint32_t max_units);
  void set_from_utf16(const char16_t* text, uint32_t max_units) {
    truncate(0);
    append_utf16(text, max_units);
  }

 private:
  // Makes the buffer at least n bytes (text and NUL); false when the heap has
  // no room, in which case the string is left as it was.
  bool reserve(uint32_t n);

  ByteBlock buffer_;
  uint32_t length_ = 0;
};

// Sets the text of a host string or a Utf8String and reads it back, the
// form every "fill this string" operation uses.
inline const char* set_text(HostString& out, const char* text) {
  out.set(text, ~0u);
  return out.get_text();
}

}  // namespace dwx
