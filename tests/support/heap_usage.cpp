#include "support/heap_usage.h"

#include <windows.h>

#include <vector>

namespace testing_support {

HeapUsage read_heap_usage() {
  HeapUsage usage;
  // Room for more heaps than the first answer gave: another thread may make
  // one in between.
  std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
  heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
  for (HANDLE heap : heaps) {
    if (!HeapLock(heap)) continue;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) == 0) continue;
      ++usage.blocks;
      usage.bytes += entry.cbData;
    }
    HeapUnlock(heap);
  }
  return usage;
}

}  // namespace testing_support
