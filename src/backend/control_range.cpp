// Levels to a mixer control's values and back, in 32-bit arithmetic.
#include "backend/control_range.h"

namespace dwx {

namespace {

// The level scale, as the unsigned divisor it is here.
constexpr uint32_t scale = level_full;

}  // namespace

// range * level does not fit 32 bits above 4,294,967 steps, so the range is
// taken as thousands and the rest: range * level / 1000 = thousands * level
// + rest * level / 1000, each part within 32 bits.
uint32_t ControlRange::share_of(VolumeLevel level) const {
  const uint32_t range = maximum - minimum;
  const auto steps = static_cast<uint32_t>(limit_level(level));
  return range / scale * steps + range % scale * steps / scale;
}

VolumeLevel ControlRange::level_at(uint32_t value) const {
  const uint32_t range = maximum - minimum;
  if (range == 0 || value <= minimum) return level_silence;
  const uint32_t offset = value - minimum;
  if (offset >= range) return level_full;
  // The truncated quotient offset * 1000 / range. Past 4,294,967 the
  // product would wrap; the range is larger still then, and the offset
  // divided by its thousands is the quotient or one more. One more is taken
  // back when it writes a value beyond the offset; when it writes the offset
  // itself, it is the level the rule below picks anyway.
  uint32_t level;
  if (offset <= UINT32_MAX / scale) {
    level = offset * scale / range;
  } else {
    level = offset / (range / scale);
    if (share_of(static_cast<VolumeLevel>(level)) > offset) --level;
  }
  // Writes truncate, and the plain quotient truncates again, so a level
  // would read back a step lower. Taken instead: the level whose written
  // value is nearer. On a control of 1001 values or more every level then
  // reads back as itself, which rounding the quotient misses for some ranges
  // below 2001 values (999 on 0..1001).
  const uint32_t below = share_of(static_cast<VolumeLevel>(level));
  const uint32_t above = share_of(static_cast<VolumeLevel>(level + 1));
  if (above - offset < offset - below) ++level;
  return static_cast<VolumeLevel>(level);
}

}  // namespace dwx
