// The counting stand-ins of the C runtime's heap functions.
#include "support/heap_calls.h"

#include <atomic>
#include <cstdlib>

namespace testing_support {

namespace {

using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using FreeFn = void(__cdecl*)(void*);
MallocFn real_malloc = nullptr;
CallocFn real_calloc = nullptr;
ReallocFn real_realloc = nullptr;
FreeFn real_free = nullptr;

std::atomic<bool> counting{false};
std::atomic<long> calls{0};

void count() {
  if (counting.load(std::memory_order_relaxed)) calls.fetch_add(1, std::memory_order_relaxed);
}

// free(nullptr) counts too: it is still a call into the runtime.
void* __cdecl counting_malloc(size_t size) {
  count();
  return real_malloc(size);
}
void* __cdecl counting_calloc(size_t number, size_t size) {
  count();
  return real_calloc(number, size);
}
void* __cdecl counting_realloc(void* block, size_t size) {
  count();
  return real_realloc(block, size);
}
void __cdecl counting_free(void* block) {
  count();
  real_free(block);
}

}  // namespace

HeapCalls::HeapCalls(HMODULE module) {
  patches_[0] = std::make_unique<ImportPatch>(module, "msvcrt.dll", "malloc",
                                              reinterpret_cast<const void*>(&counting_malloc));
  patches_[1] = std::make_unique<ImportPatch>(module, "msvcrt.dll", "calloc",
                                              reinterpret_cast<const void*>(&counting_calloc));
  patches_[2] = std::make_unique<ImportPatch>(module, "msvcrt.dll", "realloc",
                                              reinterpret_cast<const void*>(&counting_realloc));
  patches_[3] = std::make_unique<ImportPatch>(module, "msvcrt.dll", "free",
                                              reinterpret_cast<const void*>(&counting_free));
  real_malloc = patches_[0]->original<MallocFn>();
  real_calloc = patches_[1]->original<CallocFn>();
  real_realloc = patches_[2]->original<ReallocFn>();
  real_free = patches_[3]->original<FreeFn>();
}

HeapCalls::~HeapCalls() { counting = false; }

bool HeapCalls::applied() const {
  for (const auto& patch : patches_) {
    if (!patch->applied()) return false;
  }
  return true;
}

void HeapCalls::start() {
  calls = 0;
  counting = true;
}

long HeapCalls::stop() {
  counting = false;
  return calls.load();
}

}  // namespace testing_support
