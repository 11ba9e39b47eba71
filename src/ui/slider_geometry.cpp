// The slider's arithmetic, rounded as the system's MulDiv rounds.
#include "ui/slider_geometry.h"

namespace dwx {

namespace {

// Past this many lines even the smallest delta moves further than the whole
// scale, so holding lines here changes no result, and keeps lines × 10 and
// the step within 32 bits (MulDiv answers -1 on overflow, which would turn
// the step round).
constexpr int32_t most_wheel_lines = 100000;

}  // namespace

int32_t limit_to_range(int32_t value, int32_t max) {
  if (value < 0) return 0;
  return value > max ? max : value;
}

bool press_level(int32_t x, const RECT& channel, int32_t max, int32_t* level) {
  const int32_t divisor = channel.right - channel.left - 1;
  if (divisor <= 0) return false;
  // The last pixel and beyond give more than max, left of the channel less
  // than 0: the thumb and the tooltip both show the level held in range.
  *level = limit_to_range(MulDiv(x - channel.left, max + 1, divisor), max);
  return true;
}

DragSpan drag_span(const RECT& channel, const RECT& thumb) {
  const int32_t half = (thumb.right - thumb.left) / 2;
  return DragSpan{channel.left + half, channel.right - half};
}

bool drag_level(int32_t x, const DragSpan& span, int32_t max, int32_t* level) {
  if (span.right - span.left <= 0) return false;
  const int32_t held = x > span.right ? span.right : (x < span.left ? span.left : x);
  *level = MulDiv(held - span.left, max, span.right - span.left);
  return true;
}

int32_t wheel_step(int32_t delta, int32_t lines) {
  if (lines > most_wheel_lines) lines = most_wheel_lines;
  return MulDiv(delta, lines * 10, 120);
}

}  // namespace dwx
