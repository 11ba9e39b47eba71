// The level as the toolbar's tooltip shows it.
#pragma once

#include "backend/volume_scale.h"
#include "text/utf8_string.h"

namespace dwx {

// Decibels for the host's own volume ("-6.02 dB"), a percentage with one
// decimal for a system mixer ("50.5%"). The device in use is looked up each
// time, so the text follows a fall-back to the host's volume.
Utf8String level_text(VolumeLevel level);

}  // namespace dwx
