// Levels to hundredths of a decibel and back.
#include "backend/volume_scale.h"

#include <cmath>

namespace dwx {

namespace {
constexpr int32_t floor_hdb = -6000;
}

int32_t level_to_hdb(VolumeLevel level) {
  if (level <= 0) return floor_hdb;
  return static_cast<int32_t>(std::log10(level * 0.001) * 2000);
}

VolumeLevel hdb_to_level(int32_t hdb) {
  const auto level = static_cast<VolumeLevel>(std::pow(10.0, hdb * 0.0005) * 1000.0);
  // -60 dB lands on 1: read it, and anything else that lands there, as silence.
  return level == 1 ? 0 : level;
}

}  // namespace dwx
