// A growable array of pointers in a power-of-two ByteBlock; entries are not owned.
#pragma once

#include <cstdint>
#include <type_traits>

#include "text/byte_block.h"

namespace dwx {

// The block holds 32-bit pointers on the target; natively, pointers of the
// host's width, so the pieces can be tested under the sanitizers. The list
// owns its array, not what the entries point to.
class PointerList {
 public:
  constexpr PointerList() = default;

  uint32_t count() const { return block_.size() / sizeof(void*); }
  void* at(uint32_t index) const { return entries()[index]; }
  const ByteBlock& block() const { return block_; }

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

 private:
  void* const* entries() const { return reinterpret_cast<void* const*>(block_.data()); }
  void** entries() { return reinterpret_cast<void**>(block_.data()); }
  // Compacts the array, dropping the entries for which goes(index) is true.
  template <class Test>
  void remove_if(Test goes);

  ByteBlock block_{GrowthMode::power_of_two};
};

// A PointerList whose entries are all of one pointer type, so that nobody
// casts them back from void*.
template <class Pointer>
class PointerListOf {
  static_assert(std::is_pointer<Pointer>::value, "a list of pointers");

 public:
  constexpr PointerListOf() = default;

  uint32_t count() const { return list_.count(); }
  Pointer at(uint32_t index) const { return static_cast<Pointer>(list_.at(index)); }
  const ByteBlock& block() const { return list_.block(); }

  bool insert(Pointer item, uint32_t index) { return list_.insert(item, index); }
  int32_t append(Pointer item) { return list_.append(item); }
  void remove(Pointer item) { list_.remove(item); }
  void remove_all() { list_.remove_all(); }

 private:
  PointerList list_;
};

}  // namespace dwx
