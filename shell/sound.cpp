// The shell's built-in test tone.
#include "shell/sound.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace shell {

namespace {

constexpr char tone_name[] = "440 Hz test tone";

// One second of the tone, the same in both channels, played round and round.
class ToneReader : public SoundReader {
 public:
  explicit ToneReader(const std::vector<int16_t>& second) : second_(second) {}
  size_t read(double* out, size_t frames) override {
    for (size_t i = 0; i < frames; ++i) {
      out[2 * i] = out[2 * i + 1] = second_[at_];
      at_ = at_ + 1 == second_.size() ? 0 : at_ + 1;
    }
    return frames;
  }

 private:
  const std::vector<int16_t>& second_;
  size_t at_ = 0;
};

class Tone : public Sound {
 public:
  Tone() : Sound(tone_name, {tone_rate, 2}), second_(tone_rate) {
    const double step = 2.0 * 3.14159265358979323846 * tone_frequency / tone_rate;
    for (unsigned frame = 0; frame < tone_rate; ++frame) {
      second_[frame] = static_cast<int16_t>(std::lround(tone_peak * std::sin(step * frame)));
    }
  }
  std::unique_ptr<SoundReader> open(std::string*) const override {
    return std::make_unique<ToneReader>(second_);
  }

 private:
  std::vector<int16_t> second_;
};

}  // namespace

std::shared_ptr<const Sound> test_tone() { return std::make_shared<const Tone>(); }

}  // namespace shell
