// A growable block of heap memory whose capacity follows one of three growth rules.
#pragma once

#include <cstdint>

namespace dwx {

enum class GrowthMode : uint32_t {
  exact = 0,         // capacity always equals size; size 0 frees the memory
  power_of_two = 1,  // grows and shrinks by powers of two; size 0 frees the memory
  grow_only = 2,     // grows by powers of two, never gives memory back
};

// The fields are public and in this order so that a block can be initialised
// statically ({nullptr, 0, 0, mode}). The block owns `data`; whoever owns the
// block calls free_memory() when done with it.
struct ByteBlock {
  uint8_t* data;
  uint32_t capacity;
  uint32_t size;
  GrowthMode mode;

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
  // offset, growing the block as needed. Returns the address of offset, or
  // null when the block could not grow to hold them.
  uint8_t* write_at(uint32_t offset, const void* source, uint32_t count);
  uint8_t* append(const void* source, uint32_t count) { return write_at(size, source, count); }
  // Gives the memory back to the heap: data null, capacity and size 0.
  void free_memory();
};

// The capacity a block in `mode` with capacity `capacity` chooses for new size
// n; 0 for n > 0 when no power of two below 4 GB holds n.
uint32_t capacity_for(GrowthMode mode, uint32_t capacity, uint32_t n);

}  // namespace dwx
