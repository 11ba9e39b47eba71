// level_text: decibels or per cent, whichever the selected device speaks.
#include "ui/level_text.h"

#include "frame/settings.h"
#include "text/format.h"

namespace dwx {

Utf8String level_text(VolumeLevel level) {
  if (mixer_id.value() != 0) return format_text("%d.%d%%", level / 10, level % 10);
  const int32_t hdb = level_to_hdb(level);
  const int32_t magnitude = hdb < 0 ? -hdb : hdb;
  // The sign is written apart: -0.44 dB has no negative whole part to carry it.
  return format_text("%s%d.%02d dB", hdb < 0 ? "-" : "", magnitude / 100, magnitude % 100);
}

}  // namespace dwx
