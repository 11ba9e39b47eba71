// A growable block of heap memory whose capacity follows one of three growth rules.
#pragma once

#include <cstdint>

namespace dwx {

enum class GrowthMode : uint32_t {
  exact = 0,         // capacity always equals size; size 0 frees the memory
  power_of_two = 1,  // grows and shrinks by powers of two; size 0 frees the memory
  grow_only = 2,     // grows by powers of two, never gives memory back
};

// Owns its memory: moving a block hands the memory over, and destroying one
// gives it back. The constructor is constexpr, so a block that is a global,
// or a member of one, is constant-initialised and needs no start-up code.
class ByteBlock {
 public:
  constexpr explicit ByteBlock(GrowthMode mode) : mode_(mode) {}
  ~ByteBlock();
  // Takes over the other block's memory, leaving it empty in its own mode.
  ByteBlock(ByteBlock&& other) noexcept;
  ByteBlock& operator=(ByteBlock&& other) noexcept;
  ByteBlock(const ByteBlock&) = delete;
  ByteBlock& operator=(const ByteBlock&) = delete;

  // Null when nothing is allocated.
  uint8_t* data() { return data_; }
  const uint8_t* data() const { return data_; }
  uint32_t capacity() const { return capacity_; }
  uint32_t size() const { return size_; }
  GrowthMode mode() const { return mode_; }

  // Sets the size, choosing the capacity by the mode's rule. Returns data, or
  // null when the block could not grow (the heap had no room, or no power of
  // two below 4 GB holds n): the block then keeps its old memory, capacity and
  // size. Shrinking never fails; a size of 0 may return null on success, as
  // the memory is then freed in modes 0 and 1.
  uint8_t* set_size(uint32_t n);
  // set_size(n) only when the block is smaller than n. Returns data, or null
  // when it could not grow.
  uint8_t* ensure_size(uint32_t n);
  // Copies count bytes (or writes count zero bytes when source is null) at
  // offset, growing the block as needed; the source may lie in the block
  // itself. Returns the address of offset, or null when the block could not
  // grow to hold them.
  uint8_t* write_at(uint32_t offset, const void* source, uint32_t count);
  uint8_t* append(const void* source, uint32_t count) { return write_at(size_, source, count); }

 private:
  uint8_t* data_ = nullptr;
  uint32_t capacity_ = 0;
  uint32_t size_ = 0;
  GrowthMode mode_;
};

// The capacity a block in `mode` with capacity `capacity` chooses for new size
// n; 0 for n > 0 when no power of two below 4 GB holds n.
uint32_t capacity_for(GrowthMode mode, uint32_t capacity, uint32_t n);

}  // namespace dwx
