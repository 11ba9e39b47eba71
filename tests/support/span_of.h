// A conversion's destination made from a whole array, for tests that pass fixed buffers.
#pragma once

#include <cstddef>

#include "text/span.h"

namespace dwx {

template <class Unit, size_t N>
constexpr Span<Unit> span_of(Unit (&units)[N]) {
  static_assert(N <= ~0u, "a span counts its units in 32 bits");
  return Span<Unit>{units, static_cast<uint32_t>(N)};
}

}  // namespace dwx
