// Where a conversion writes: the destination and the units it holds, passed together.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dwx {

// Room for `capacity` units at `data`, a terminating NUL included. A
// conversion writes nothing past it, whatever the source holds.
template <class Unit>
struct Span {
  Unit* data;
  uint32_t capacity;
};

template <class Unit, size_t N>
constexpr Span<Unit> span_of(Unit (&units)[N]) {
  static_assert(N <= ~0u, "a span counts its units in 32 bits");
  return Span<Unit>{units, static_cast<uint32_t>(N)};
}

}  // namespace dwx
