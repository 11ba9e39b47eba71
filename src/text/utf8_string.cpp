// Utf8String: the host string operations over a ByteBlock holding the text and its NUL.
#include "text/utf8_string.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "text/scratch_buffer.h"
#include "text/text_copy.h"
#include "text/utf_codec.h"

namespace dwx {

namespace {

constexpr uint32_t spare_after_growth = 16;
constexpr uint32_t most_spare_kept = 32;

// Where text lies within the block's bytes, or -1 when it lies elsewhere.
intptr_t offset_within(const ByteBlock& block, const char* text) {
  const uintptr_t start = reinterpret_cast<uintptr_t>(block.data());
  const uintptr_t at = reinterpret_cast<uintptr_t>(text);
  if (block.data() == nullptr || at < start || at - start >= block.size()) return -1;
  return static_cast<intptr_t>(at - start);
}

}  // namespace

Utf8String::Utf8String(Utf8String&& other) noexcept
    : buffer_(std::move(other.buffer_)), length_(other.length_) {
  other.length_ = 0;
}

bool Utf8String::reserve(uint32_t n) {
  if (buffer_.size() < n) {
    if (n > ~0u - spare_after_growth) return false;
    return buffer_.set_size(n + spare_after_growth) != nullptr;
  }
  if (buffer_.size() - n > most_spare_kept) buffer_.set_size(n);  // a shrink: cannot fail
  return true;
}

const char* Utf8String::get_text() {
  // An empty string may have no buffer at all.
  if (length_ == 0) return "";
  return reinterpret_cast<const char*>(buffer_.data());
}

// Both writes accept text taken from this string itself (uPrintfV, or a
// caller appending a string to itself): the source is found again by its
// offset after the buffer has moved.
void Utf8String::append(const char* text, uint32_t max_length) {
  const uint32_t added = bounded_length(text, max_length);
  if (added > ~0u - 1 - length_) return;
  const intptr_t offset = offset_within(buffer_, text);
  if (!reserve(length_ + added + 1)) return;
  const uint8_t* source =
      offset >= 0 ? buffer_.data() + offset : reinterpret_cast<const uint8_t*>(text);
  if (added != 0) std::memmove(buffer_.data() + length_, source, added);
  length_ += added;
  buffer_.data()[length_] = '\0';
}

void Utf8String::set(const char* text, uint32_t max_length) {
  const uint32_t length = bounded_length(text, max_length);
  if (length == ~0u) return;
  if (offset_within(buffer_, text) >= 0) {
    // Part of our own text: it fits where it is, so move it first, before the
    // reservation can shrink the buffer under it.
    std::memmove(buffer_.data(), text, length);
    buffer_.data()[length] = '\0';
    length_ = length;
    reserve(length + 1);
    return;
  }
  if (!reserve(length + 1)) return;
  if (length != 0) std::memcpy(buffer_.data(), text, length);
  length_ = length;
  buffer_.data()[length_] = '\0';
}

void Utf8String::truncate(uint32_t length) {
  if (length_ <= length) return;
  length_ = length;
  buffer_.data()[length] = '\0';
  reserve(length + 1);  // may shrink, never grows
}

void Utf8String::append_utf16(const char16_t* text, uint32_t max_units) {
  const uint32_t units = bounded_length(text, max_units);
  const ScratchBuffer<conversion_stack_bytes> scratch(utf8_scratch_bytes(units));
  if (scratch.data() == nullptr) return;
  const Span<char> converted = scratch.span<char>(0, scratch.size());
  // The caller's own bound, not the length: a text that ends before it may be
  // read up to its NUL, which tells a lone high surrogate at its end from
  // half of a pair cut by the bound.
  const uint32_t bytes = utf16_to_utf8(text, converted, max_units);
  append(converted.data, bytes);
}

}  // namespace dwx
