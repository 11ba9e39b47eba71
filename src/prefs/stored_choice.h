// The stored device and control, read as the unsigned numbers they are.
#pragma once

#include <cstdint>

#include "frame/settings.h"

namespace dwx {

// The blob may hold any 32-bit value; read unsigned, a negative one is simply
// a number past every list, and is repaired like one.
inline uint32_t chosen_device() { return static_cast<uint32_t>(mixer_id.value()); }
inline uint32_t chosen_control() { return static_cast<uint32_t>(mixer_control.value()); }

}  // namespace dwx
