// The shell's built-in test tone.
#include "shell/sound.h"

#include <cmath>

namespace shell {

Sound test_tone() {
  Sound tone;
  tone.name = "440 Hz test tone";
  tone.rate = tone_rate;
  tone.channels = 2;
  tone.loops = true;
  tone.samples.resize(2 * tone_rate);
  const double step = 2.0 * 3.14159265358979323846 * tone_frequency / tone_rate;
  for (unsigned frame = 0; frame < tone_rate; ++frame) {
    const auto sample = static_cast<int16_t>(std::lround(tone_peak * std::sin(step * frame)));
    tone.samples[2 * frame] = sample;
    tone.samples[2 * frame + 1] = sample;
  }
  return tone;
}

}  // namespace shell
