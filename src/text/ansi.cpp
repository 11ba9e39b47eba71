// Conversions through the system ANSI code page, by way of UTF-16.
#include "text/ansi.h"

#include <windows.h>

#include "text/text_copy.h"
#include "text/utf_codec.h"

namespace dwx {

namespace {

// The system calls take int counts.
constexpr uint32_t max_count = 0x7FFFFFFF;

uint32_t clamp_count(uint32_t n) { return n < max_count ? n : max_count; }

// Hands `count` source units and the destination's room, less the NUL's, to
// `convert`. Both system calls answer a zero room with the size they would
// need, having written nothing: they are never handed one, or the count
// returned would place the NUL past the destination.
template <class Unit, class Convert>
uint32_t by_the_system(uint32_t count, Span<Unit> destination, Convert convert) {
  if (destination.capacity == 0) return 0;
  int written = 0;
  if (count != 0 && destination.capacity > 1) {
    written = convert(static_cast<int>(clamp_count(count)),
                      static_cast<int>(clamp_count(destination.capacity - 1)));
  }
  if (written < 0) written = 0;
  destination.data[written] = 0;
  return static_cast<uint32_t>(written);
}

}  // namespace

uint32_t ansi_to_utf16(const char* source, Span<char16_t> destination, uint32_t max_bytes) {
  return by_the_system(bounded_length(source, max_bytes), destination, [&](int count, int room) {
    return MultiByteToWideChar(CP_ACP, 0, source, count,
                               reinterpret_cast<wchar_t*>(destination.data), room);
  });
}

uint32_t utf16_to_ansi(const char16_t* source, Span<char> destination, uint32_t max_units) {
  return by_the_system(bounded_length(source, max_units), destination, [&](int count, int room) {
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(source), count,
                               destination.data, room, nullptr, nullptr);
  });
}

// Without room for the UTF-16 form (the heap had none) the span is empty:
// nothing is converted, and the result is the empty text.
uint32_t utf8_to_ansi(const char* source, Span<char> destination, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  const ScratchBuffer<conversion_stack_bytes> scratch(utf16_scratch_bytes(bytes));
  const Span<char16_t> wide = scratch.span<char16_t>(0, scratch.size());
  return utf16_to_ansi(wide.data, destination, utf8_to_utf16(source, wide, bytes));
}

uint32_t ansi_to_utf8(const char* source, Span<char> destination, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  const ScratchBuffer<conversion_stack_bytes> scratch(utf16_scratch_bytes(bytes));
  const Span<char16_t> wide = scratch.span<char16_t>(0, scratch.size());
  return utf16_to_utf8(wide.data, destination, ansi_to_utf16(source, wide, bytes));
}

// One buffer for both forms: the UTF-16 one at its start, the UTF-8 one after it.
void append_ansi(Utf8String& string, const char* source, uint32_t max_bytes) {
  const uint32_t bytes = clamp_count(bounded_length(source, max_bytes));
  const uint32_t wide_bytes = utf16_scratch_bytes(bytes);
  const ScratchBuffer<conversion_stack_bytes> scratch(
      scratch_sum(wide_bytes, utf8_scratch_bytes(bytes)));
  if (scratch.data() == nullptr) return;
  const Span<char16_t> wide = scratch.span<char16_t>(0, wide_bytes);
  const Span<char> utf8 = scratch.span<char>(wide_bytes, scratch.size() - wide_bytes);
  const uint32_t length = utf16_to_utf8(wide.data, utf8, ansi_to_utf16(source, wide, bytes));
  string.append(utf8.data, length);
}

WideCopy::WideCopy(const char* utf8)
    : bytes_(clamp_count(bounded_length(utf8, unbounded))), buffer_(utf16_scratch_bytes(bytes_)) {
  if (utf8 == nullptr || buffer_.data() == nullptr) return;
  const Span<char16_t> wide = buffer_.span<char16_t>(0, buffer_.size());
  utf8_to_utf16(utf8, wide, bytes_);
  text_ = wide.data;
}

// No character takes more bytes in an ANSI code page than in UTF-8, so the
// copy needs no more room than its source.
AnsiCopy::AnsiCopy(const char* utf8)
    : bytes_(clamp_count(bounded_length(utf8, unbounded))),
      buffer_(scratch_sum(utf16_scratch_bytes(bytes_), bytes_ + 1)) {
  if (utf8 == nullptr || buffer_.data() == nullptr) return;
  const uint32_t wide_bytes = utf16_scratch_bytes(bytes_);
  const Span<char16_t> wide = buffer_.span<char16_t>(0, wide_bytes);
  const Span<char> ansi = buffer_.span<char>(wide_bytes, buffer_.size() - wide_bytes);
  utf16_to_ansi(wide.data, ansi, utf8_to_utf16(utf8, wide, bytes_));
  text_ = ansi.data;
}

}  // namespace dwx
