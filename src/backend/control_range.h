// A mixer control's bounds and the level scale, mapped onto each other both ways.
#pragma once

#include <cstdint>

#include "backend/volume_scale.h"

namespace dwx {

// The bounds a mixer control reports. Each level writes its share of the
// whole range, truncated, and a value reads as the level that writes the
// nearest value, so that on a control of 1001 values or more every level
// reads back as itself. Any range works, up to 0..2^32-1, in 32-bit
// arithmetic: a 64-bit division would bring a runtime helper into the DLL.
struct ControlRange {
  uint32_t minimum = 0;
  uint32_t maximum = 0;

  // A level off the scale is held to it, so the value stays within bounds.
  uint32_t value_for(VolumeLevel level) const { return minimum + share_of(level); }
  // A value outside the bounds is held to them; a control with no range
  // reads as silence.
  VolumeLevel level_at(uint32_t value) const;

 private:
  uint32_t share_of(VolumeLevel level) const;
};

}  // namespace dwx
