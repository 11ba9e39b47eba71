// Scratch space for one conversion: on the stack when small, from the heap otherwise.
#pragma once

#include <cstdint>

#include "text/byte_block.h"
#include "text/span.h"

namespace dwx {

// Short texts, the usual case, cost no heap allocation. The stack part is
// sized by its user: each conversion takes one buffer for all its
// intermediate forms, so a window procedure that converts a short text
// spends no more stack than that one buffer.
template <uint32_t StackBytes>
class ScratchBuffer {
 public:
  // Empty (data() null, size() 0) when a heap buffer was needed and the heap
  // had no room.
  explicit ScratchBuffer(uint32_t bytes) {
    if (bytes <= StackBytes) {
      data_ = stack_;
    } else {
      data_ = heap_.set_size(bytes);
    }
    size_ = data_ != nullptr ? bytes : 0;
  }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  uint8_t* data() const { return data_; }
  uint32_t size() const { return size_; }
  bool on_heap() const { return data_ != stack_; }

  // `bytes` bytes from `offset` on as room for units of text; `offset` must
  // keep the units aligned. Nothing past the buffer's end is ever handed out.
  template <class Unit>
  Span<Unit> span(uint32_t offset, uint32_t bytes) const {
    if (offset > size_) return Span<Unit>{nullptr, 0};
    if (bytes > size_ - offset) bytes = size_ - offset;
    return Span<Unit>{reinterpret_cast<Unit*>(data_ + offset),
                      bytes / static_cast<uint32_t>(sizeof(Unit))};
  }

 private:
  alignas(4) uint8_t stack_[StackBytes];
  ByteBlock heap_{GrowthMode::exact};
  uint8_t* data_;
  uint32_t size_;
};

// The stack a conversion into a Utf8String takes at most, for the system's
// text for an error code; a longer text takes the heap.
constexpr uint32_t conversion_stack_bytes = 4096;

// Scratch sizes of the composite conversions, for a source of n units. A size
// that does not fit in 32 bits comes out as ~0u, which a 32-bit heap refuses,
// rather than wrapping round to a buffer too small for the text.
constexpr uint32_t utf16_scratch_bytes(uint32_t n) {  // UTF-16 from n bytes
  return n <= (~0u - 2) / 2 ? 2 * n + 2 : ~0u;
}
constexpr uint32_t utf8_scratch_bytes(uint32_t n) {  // UTF-8 from n units or n ANSI bytes
  return n <= (~0u - 1) / 3 ? 3 * n + 1 : ~0u;
}
// Two forms in one buffer, the first at its start.
constexpr uint32_t scratch_sum(uint32_t first, uint32_t second) {
  return first <= ~0u - second ? first + second : ~0u;
}

}  // namespace dwx
