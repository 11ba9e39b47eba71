// Where a conversion writes: the destination and the units it holds, passed together.
#pragma once

#include <cstdint>

namespace dwx {

// Room for `capacity` units at `data`, a terminating NUL included. A
// conversion writes nothing past it, whatever the source holds.
template <class Unit>
struct Span {
  Unit* data;
  uint32_t capacity;
};

}  // namespace dwx
