// The shell's sound as Wine's ALSA output writes it to a file: each change of
// the volume, whatever made it, must come out at the loudness the player's
// volume says, and that volume must be what the component's scale gives.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstdlib>
#include <functional>
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

constexpr GUID volume_up = {
    0x09AAFA8B, 0x01D0, 0x40FC, {0xA5, 0x96, 0xCB, 0xF0, 0xED, 0xA4, 0x60, 0x3F}};
constexpr GUID volume_down = {
    0xEAA316FE, 0x0841, 0x40DA, {0xBD, 0x04, 0xF4, 0x97, 0x54, 0xA2, 0x48, 0x1A}};
constexpr GUID volume_mute = {
    0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}};

// Every way a person changes the volume is heard: the toolbar slider, the
// three commands, the shell's -1 and +1 dB buttons and the panel slider's
// keys. Each step's loudness differs from the one before by more than 1 dB,
// so that the recording tells the steps apart.
TEST_F(LoudnessTest, EveryWayOfChangingTheVolumeIsHeardAtItsLoudness) {
  const char* capture_variable = getenv("DWX_SOUND_CAPTURE");
  ASSERT_NE(nullptr, capture_variable)
      << "DWX_SOUND_CAPTURE names the file that Wine's sound output is written to";
  const std::wstring capture = shell::widen(capture_variable);
  DeleteFileW(capture.c_str());

  const auto shown = [this] { return static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0)); };
  const auto volume = [this] { return session->host().volume(); };
  // What each step does, returning the player's volume it must leave: worked
  // out from the scale as written above and from where the step started.
  struct Step {
    std::string what;
    std::function<int()> act;
  };
  std::vector<Step> steps;
  for (int level : {1000, 500, 100, 0, 1000}) {
    const int x = x_of(level);  // found before anything plays
    steps.push_back({"toolbar at " + std::to_string(level), [this, x, level] {
                       EXPECT_EQ(level, click(x));
                       return expected_hdb(level);
                     }});
  }
  steps.push_back({"mute", [this] {
                     command(volume_mute);
                     return -6000;
                   }});
  steps.push_back({"mute again", [this] {
                     command(volume_mute);
                     return 0;
                   }});
  // A command pressed `count` times moves the level by `levels`, give or
  // take a level a press: each press starts from the level the player's
  // volume, kept in whole hundredths of a decibel, reads back as.
  const auto by_command = [&](const char* what, const GUID& guid, int count, int levels) {
    return Step{what, [&, what, guid, count, levels] {
                  const int before = shown();
                  for (int i = 0; i < count; ++i)
                    command(guid);
                  EXPECT_NEAR(before + levels, shown(), count) << what;
                  return expected_hdb(shown());
                }};
  };
  // A shell button pressed `count` times moves the player's volume by `hdb`.
  const auto by_button = [&](const char* what, const wchar_t* caption, int count, int hdb) {
    return Step{what, [&, caption, count, hdb] {
                  const int before = volume();
                  for (int i = 0; i < count; ++i)
                    press(caption);
                  return before + hdb;
                }};
  };
  steps.push_back(by_command("Volume down x10", volume_down, 10, -150));
  steps.push_back(by_button("Quieter x3", L"Quieter (-1 dB)", 3, -300));
  steps.push_back({"panel Page Down", [&] {
                     const int level = shown() - 100;
                     panel_key(VK_NEXT);
                     return expected_hdb(level);
                   }});
  steps.push_back(by_command("Volume up x10", volume_up, 10, 150));
  steps.push_back(by_button("Louder x2", L"Louder (+1 dB)", 2, 200));

  // The thumb goes to the other end from the first level, and the tone
  // starts there.
  click(0);
  std::vector<int> expected;
  for (Step& step : steps) {
    expected.push_back(step.act());
    EXPECT_EQ(expected.back(), volume()) << step.what << ": the player's volume";
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
    const double measured = decibels(heard[i].rms / heard[0].rms);
    EXPECT_NEAR(expected[i] / 100.0, measured, 0.1) << steps[i].what;
    printf("%-17s expected %7.2f dB, measured %7.2f dB\n", steps[i].what.c_str(),
           expected[i] / 100.0, measured);
  }
}

}  // namespace
