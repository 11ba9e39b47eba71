// Counting the heap calls a loaded module makes.
#pragma once

#include <windows.h>

#include <memory>

#include "support/import_table.h"

namespace testing_support {

// While it lives, the module's C runtime heap imports (malloc, calloc,
// realloc and free: the only ones the DLL has) go through counters, which
// count only between start() and stop(), on any thread. One at a time.
class HeapCalls {
 public:
  explicit HeapCalls(HMODULE module);
  ~HeapCalls();

  bool applied() const;
  void start();
  // The calls counted since start().
  long stop();

 private:
  std::unique_ptr<testing_support::ImportPatch> patches_[4];
};

}  // namespace testing_support
