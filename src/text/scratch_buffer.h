// Scratch space for one conversion: on the stack when small, from the heap otherwise.
#pragma once

#include <cstdint>

#include "text/byte_block.h"

namespace dwx {

// Short texts, the usual case, cost no heap allocation.
class ScratchBuffer {
 public:
  static constexpr uint32_t stack_bytes = 4096;

  // data() is null when a heap buffer was needed and the heap had no room.
  explicit ScratchBuffer(uint32_t bytes) {
    if (bytes <= stack_bytes) {
      data_ = stack_;
    } else {
      data_ = heap_.set_size(bytes);
    }
  }
  ~ScratchBuffer() { heap_.free_memory(); }
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;

  uint8_t* data() const { return data_; }
  bool on_heap() const { return data_ != stack_; }

 private:
  alignas(4) uint8_t stack_[stack_bytes];
  ByteBlock heap_{nullptr, 0, 0, GrowthMode::exact};
  uint8_t* data_;
};

// Scratch sizes of the composite conversions, for a source of n units. A size
// that does not fit in 32 bits comes out as ~0u, which a 32-bit heap refuses,
// rather than wrapping round to a buffer too small for the text.
constexpr uint32_t utf16_scratch_bytes(uint32_t n) {  // UTF-16 from n bytes
  return n <= (~0u - 2) / 2 ? 2 * n + 2 : ~0u;
}
constexpr uint32_t utf8_scratch_bytes(uint32_t n) {  // UTF-8 from n units or n ANSI bytes
  return n <= (~0u - 1) / 3 ? 3 * n + 1 : ~0u;
}

}  // namespace dwx
