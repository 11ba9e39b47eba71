// The level as the toolbar's tooltip shows it.
#pragma once

#include "backend/volume_scale.h"

namespace dwx {

// The text of one level, held in place: it is made at every mouse move of a
// drag, which touches no heap.
class LevelText {
 public:
  const char* c_str() const { return text_; }

 private:
  friend LevelText level_text(VolumeLevel level);
  // Room for any 32-bit level in either form.
  char text_[32] = {};
};

// Decibels for the host's own volume ("-6.02 dB"), a percentage with one
// decimal for a system mixer ("50.5%"). The device in use is looked up each
// time, so the text follows a fall-back to the host's volume.
LevelText level_text(VolumeLevel level);

}  // namespace dwx
