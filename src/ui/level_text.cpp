// level_text: decibels or per cent, whichever the selected device speaks.
#include "ui/level_text.h"

#include <cstdio>

#include "frame/settings.h"

namespace dwx {

LevelText level_text(VolumeLevel level) {
  LevelText text;
  char* out = text.text_;
  const size_t room = sizeof text.text_;
  if (mixer_id.value() != 0) {
    std::snprintf(out, room, "%d.%d%%", static_cast<int>(level / 10), static_cast<int>(level % 10));
    return text;
  }
  const int32_t hdb = level_to_hdb(level);
  // Unsigned, so that the magnitude of the lowest value exists too.
  const uint32_t magnitude = hdb < 0 ? 0u - static_cast<uint32_t>(hdb) : static_cast<uint32_t>(hdb);
  // The sign is written apart: -0.44 dB has no negative whole part to carry it.
  std::snprintf(out, room, "%s%u.%02u dB", hdb < 0 ? "-" : "",
                static_cast<unsigned>(magnitude / 100), static_cast<unsigned>(magnitude % 100));
  return text;
}

}  // namespace dwx
