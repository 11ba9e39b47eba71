// Where the cursor is on a trackbar, as a level: the press, drag and wheel rules.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dwx {

// `value` held within 0..max.
int32_t limit_to_range(int32_t value, int32_t max);

// The level a press at client x jumps to, over the whole channel, limited to
// 0..max. False when the channel is too narrow to divide.
bool press_level(int32_t x, const RECT& channel, int32_t max, int32_t* level);

// The part of the channel the thumb's centre can reach: the channel less
// half a thumb at each end.
struct DragSpan {
  int32_t left;
  int32_t right;
};
DragSpan drag_span(const RECT& channel, const RECT& thumb);

// The level for a drag at client x: x is held within the span, so the level
// lies within 0..max. False when the span is empty or inverted.
bool drag_level(int32_t x, const DragSpan& span, int32_t max, int32_t* level);

// Levels one wheel movement of `delta` moves, ten per scroll line.
int32_t wheel_step(int32_t delta, int32_t lines);

}  // namespace dwx
