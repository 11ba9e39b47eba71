// The shell's sound as Wine's ALSA output writes it to a file: each level the
// toolbar slider is clicked to, and the mute command, must come out at the
// loudness the component's scale gives that level.
#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "shell/sound.h"
#include "shell/text.h"
#include "sound/toolbar_fixture.h"

namespace {

using sound_testing::decibels;
using sound_testing::hold;
using sound_testing::read_samples;

// The scale written out again, apart from the component's own code.
int expected_hdb(int level) {
  return level <= 0 ? -6000 : static_cast<int>(std::log10(level * 0.001) * 2000.0);
}

// A stretch of output at one loudness.
struct Stretch {
  double seconds;
  double rms;
};

// Cuts the captured samples into stretches of one loudness each. The output
// is judged in 10 ms blocks by their peak; a block within 1 dB of the one
// that began a stretch belongs to it. Runs of zeros are left out: Wine writes
// silence whenever it has too little to play (at the start, and on a busy
// machine in between). Stretches shorter than a quarter of a second are a
// click's passing states; two blocks at each end of a stretch may hold
// some of its neighbour, and are left out of its RMS.
std::vector<Stretch> stretches_of(const std::vector<int16_t>& samples, unsigned rate,
                                  unsigned channels) {
  const size_t block = rate / 100 * channels;
  std::vector<char> silent(samples.size());
  for (size_t i = 0; i < samples.size();) {
    size_t end = i;
    while (end < samples.size() && samples[end] == 0)
      ++end;
    if (end - i >= 16) std::fill(silent.begin() + i, silent.begin() + end, 1);
    i = end > i ? end : i + 1;
  }
  struct Block {
    double peak = 0, squares = 0;
    size_t count = 0;
  };
  std::vector<std::vector<Block>> groups;
  double first_peak = 0;
  for (size_t start = 0; start + block <= samples.size(); start += block) {
    Block b;
    for (size_t i = start; i < start + block; ++i) {
      if (silent[i]) continue;
      const double sample = samples[i];
      b.peak = std::max(b.peak, std::fabs(sample));
      b.squares += sample * sample;
      ++b.count;
    }
    if (b.count == 0) continue;
    if (groups.empty() || std::fabs(decibels(b.peak / first_peak)) > 1.0) {
      groups.emplace_back();
      first_peak = b.peak;
    }
    groups.back().push_back(b);
  }
  std::vector<Stretch> stretches;
  for (const auto& group : groups) {
    if (group.size() < 25) continue;
    double squares = 0;
    size_t count = 0;
    for (size_t i = 2; i + 2 < group.size(); ++i) {
      squares += group[i].squares;
      count += group[i].count;
    }
    stretches.push_back({group.size() / 100.0, std::sqrt(squares / count)});
  }
  return stretches;
}

using LoudnessTest = sound_testing::ToolbarSoundTest;

TEST_F(LoudnessTest, EachSliderLevelAndMutePlayAtTheirLoudness) {
  const char* capture_variable = getenv("DWX_SOUND_CAPTURE");
  ASSERT_NE(nullptr, capture_variable)
      << "DWX_SOUND_CAPTURE names the file that Wine's sound output is written to";
  const std::wstring capture = shell::widen(capture_variable);
  DeleteFileW(capture.c_str());

  constexpr int muted = -1;
  struct Step {
    int level;  // clicked on the slider, or `muted` for the mute command
    int x;
    int hdb;  // the player's volume then
  };
  std::vector<Step> steps = {{1000, 0, 0}, {500, 0, 0},  {100, 0, 0},
                             {0, 0, 0},    {1000, 0, 0}, {muted, 0, 0}};
  // Where to click, found before anything plays. Then the thumb goes to
  // the other end from the first level, and the tone starts there.
  for (Step& step : steps) {
    if (step.level != muted) step.x = x_of(step.level);
  }
  click(0);
  for (Step& step : steps) {
    if (step.level == muted) {
      mute();
    } else {
      EXPECT_EQ(step.level, click(step.x));
    }
    step.hdb = session->host().volume();
    if (&step == &steps.front()) space();
    ASSERT_TRUE(window->playback().playing());
    hold(700);
  }
  space();
  ASSERT_FALSE(window->playback().playing());

  const std::vector<Stretch> heard = stretches_of(read_samples(capture), shell::tone_rate, 2);
  std::ostringstream found;
  for (const Stretch& stretch : heard) {
    found << "\n  " << stretch.seconds << " s at RMS " << stretch.rms;
  }
  ASSERT_EQ(steps.size(), heard.size()) << "stretches of one loudness:" << found.str();
  // Full volume plays the tone as it is: a sine's RMS is its peak over root 2.
  EXPECT_NEAR(0.0, decibels(heard[0].rms / (shell::tone_peak / std::sqrt(2.0))), 0.1);
  for (size_t i = 0; i < steps.size(); ++i) {
    const std::string what =
        steps[i].level == muted ? "mute" : "level " + std::to_string(steps[i].level);
    const int hdb = steps[i].level == muted ? -6000 : expected_hdb(steps[i].level);
    EXPECT_EQ(hdb, steps[i].hdb) << what << ": the player's volume";
    const double measured = decibels(heard[i].rms / heard[0].rms);
    EXPECT_NEAR(hdb / 100.0, measured, 0.1) << what;
    printf("%-10s expected %7.2f dB, measured %7.2f dB\n", what.c_str(), hdb / 100.0, measured);
  }
}

}  // namespace
