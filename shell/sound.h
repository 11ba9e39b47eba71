// A sound the shell can play: 16-bit PCM held in memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

struct Sound {
  std::string name;              // what the readout calls it
  unsigned rate = 0;             // frames a second
  unsigned channels = 0;         // 1 or 2
  std::vector<int16_t> samples;  // interleaved, whole frames
  bool loops = false;            // starts again at its end until stopped

  size_t frames() const { return channels ? samples.size() / channels : 0; }
};

// What plays when no file was chosen: a 440 Hz sine at -6 dBFS, stereo at
// 44.1 kHz, one second long, which holds 440 whole cycles so that it loops
// without a seam.
constexpr unsigned tone_rate = 44100;
constexpr unsigned tone_frequency = 440;
constexpr double tone_peak = 16423.0;  // 32768 at -6 dB
Sound test_tone();

}  // namespace shell
