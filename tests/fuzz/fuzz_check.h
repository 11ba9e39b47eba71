// What the fuzz targets share: a property check that stops the run, and an
// exactly sized copy of the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace fuzz {

[[noreturn]] inline void property_failed(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: property does not hold: %s\n", file, line, condition);
  std::abort();  // libFuzzer keeps the input that got here
}

// The input's own bytes, in a heap block of exactly their size, so that the
// address sanitizer reports a read of even one byte past them.
template <class Unit>
std::unique_ptr<Unit[]> exact_copy(const Unit* units, size_t count) {
  std::unique_ptr<Unit[]> copy(new Unit[count]);
  if (count != 0) std::memcpy(copy.get(), units, count * sizeof(Unit));
  return copy;
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : fuzz::property_failed(#condition, __FILE__, __LINE__))
