// A growable array of pointers in a power-of-two ByteBlock; entries are not owned.
#pragma once

#include <cstdint>

#include "text/byte_block.h"

namespace dwx {

// The block holds 32-bit pointers on the target; natively, pointers of the
// host's width, so the pieces can be tested under the sanitizers.
struct PointerList {
  ByteBlock block;  // {nullptr, 0, 0, GrowthMode::power_of_two} when empty

  uint32_t count() const { return block.size / sizeof(void*); }
  void* at(uint32_t index) const { return entries()[index]; }

  // Grows by one entry and stores item at index, moving the later entries up.
  // Returns false (and leaves the list as it was) when the heap has no room or
  // index is past the end.
  bool insert(void* item, uint32_t index);
  // insert(item, count()); returns the new entry's index, or -1 when out of memory.
  int32_t append(void* item);
  // Removes every entry equal to item, keeping the order of the others. A list
  // without the item is not touched.
  void remove(const void* item);
  // Removes every entry and frees the array's memory.
  void remove_all();
  void free_memory() { block.free_memory(); }

 private:
  void** entries() const { return reinterpret_cast<void**>(block.data); }
  // Compacts the array, dropping the entries for which goes(index) is true.
  template <class Test>
  void remove_if(Test goes);
};

constexpr PointerList empty_pointer_list() {
  return PointerList{{nullptr, 0, 0, GrowthMode::power_of_two}};
}

}  // namespace dwx
