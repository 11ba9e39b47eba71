// What the process's heaps hold: the blocks in use and their bytes. Finer
// than committed memory, which moves only when a heap takes or gives back
// whole pages: a leak of one small block per cycle shows here from the
// first cycle on.
#pragma once

#include <cstddef>

namespace testing_support {

struct HeapUsage {
  size_t blocks = 0;
  size_t bytes = 0;
};

// Every heap of the process walked, each under its own lock.
HeapUsage read_heap_usage();

}  // namespace testing_support
