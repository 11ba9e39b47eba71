// The one volume scale of sliders, commands and backend, and its decibel mapping.
#pragma once

#include <cstdint>

namespace dwx {

// 0 is silence, 1000 full volume; linear in amplitude.
using VolumeLevel = int32_t;
constexpr VolumeLevel level_silence = 0;
constexpr VolumeLevel level_full = 1000;

// The level held to the scale: a value from outside may lie anywhere.
constexpr VolumeLevel limit_level(VolumeLevel level) {
  return level < level_silence ? level_silence : level > level_full ? level_full : level;
}

// Hundredths of a decibel, the host's own volume unit: 0 is full volume,
// -6000 the floor this scale produces. Both directions truncate the exact
// result toward zero, whatever the calling thread's FPU state.
int32_t level_to_hdb(VolumeLevel level);
// 100 hdb above full gives 1122: values above 0 dB are not clamped, except
// to the largest VolumeLevel, from 12664 hdb up.
VolumeLevel hdb_to_level(int32_t hdb);

}  // namespace dwx
