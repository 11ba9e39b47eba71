// A sound the shell can play, read from its start frame by frame as it plays.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace shell {

struct SoundFormat {
  unsigned rate = 0;      // frames a second
  unsigned channels = 0;  // 1 or 2
};

// Reads one playing of a sound, on the playback thread.
class SoundReader {
 public:
  virtual ~SoundReader() = default;
  // Up to `frames` frames into `out`, interleaved, on the 16-bit scale (full
  // scale is 32768, not yet rounded). Fewer only at the sound's end, or where
  // the rest cannot be read.
  virtual size_t read(double* out, size_t frames) = 0;
};

class Sound {
 public:
  Sound(std::string name, SoundFormat format) : name_(std::move(name)), format_(format) {}
  virtual ~Sound() = default;
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // What the readout calls it.
  const std::string& name() const { return name_; }
  const SoundFormat& format() const { return format_; }
  // A reader from its start, or null with the reason in `error`.
  virtual std::unique_ptr<SoundReader> open(std::string* error) const = 0;

 private:
  std::string name_;
  SoundFormat format_;
};

// What plays when no file was chosen: a 440 Hz sine at -6 dBFS, stereo at
// 44.1 kHz, whose second holds 440 whole cycles and so loops without a seam
// until it is stopped.
constexpr unsigned tone_rate = 44100;
constexpr unsigned tone_frequency = 440;
constexpr double tone_peak = 16423.0;  // 32768 at -6 dB
std::shared_ptr<const Sound> test_tone();

}  // namespace shell
