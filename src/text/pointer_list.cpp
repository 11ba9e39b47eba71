// Insertion and order-keeping removal for PointerList.
#include "text/pointer_list.h"

#include <cstring>

namespace dwx {

namespace {

constexpr uint32_t entry_bytes = sizeof(void*);
constexpr uint32_t max_entries = ~0u / entry_bytes;

}  // namespace

bool PointerList::insert(void* item, uint32_t index) {
  const uint32_t old_count = count();
  if (index > old_count || old_count >= max_entries) return false;
  if (block_.set_size((old_count + 1) * entry_bytes) == nullptr) return false;
  void** slots = entries();
  std::memmove(slots + index + 1, slots + index, (old_count - index) * entry_bytes);
  slots[index] = item;
  return true;
}

int32_t PointerList::append(void* item) {
  const uint32_t index = count();
  return insert(item, index) ? static_cast<int32_t>(index) : -1;
}

template <class Test>
void PointerList::remove_if(Test goes) {
  const uint32_t old_count = count();
  uint32_t index = 0;
  while (index < old_count && !goes(index))
    ++index;
  if (index == old_count) return;
  // Each test reads its entry before any write can reach it: the next free
  // position always lies below the entry being tested.
  void** slots = entries();
  uint32_t kept = index;
  for (++index; index < old_count; ++index) {
    if (!goes(index)) slots[kept++] = slots[index];
  }
  block_.set_size(kept * entry_bytes);  // a shrink: cannot fail
}

void PointerList::remove(const void* item) {
  void** slots = entries();
  remove_if([slots, item](uint32_t index) { return slots[index] == item; });
}

void PointerList::remove_all() {
  remove_if([](uint32_t) { return true; });
}

}  // namespace dwx
