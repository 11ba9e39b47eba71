// The shell's sound as a PulseAudio null sink takes it, in real time: how
// long after each step of a drag the recording changes loudness, and every
// gap in a minute of the tone.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "shell/playback.h"
#include "shell/sound.h"
#include "shell/text.h"
#include "sound/toolbar_fixture.h"

namespace {

using sound_testing::decibels;
using sound_testing::hold;

constexpr double rate = shell::tone_rate;
// What the shell may add to the output path's own latency: from a change of
// volume until the first buffer at the new volume goes to the device.
constexpr double shell_bound_ms = 30;
constexpr DWORD playing_ms = 60000;  // the tone, from its start to its stop
constexpr DWORD step_ms = 100;       // between two steps of the drag
constexpr double steepest_db = 30;   // the drag goes down so far, and back
constexpr int steps_each_way = 50;
constexpr size_t shortest_gap = 8;     // frames of silence; a sine has at most 1
constexpr double least_step_db = 0.3;  // a smaller step is not told apart

int64_t ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

double milliseconds(int64_t ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return ticks * 1000.0 / frequency.QuadPart;
}

uint64_t file_size(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Records when the recording grows: its length is the null sink's clock.
class GrowthLog {
 public:
  explicit GrowthLog(const std::wstring& path)
      : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr)),
        thread_([this] {
          int64_t last = 0;
          LARGE_INTEGER size;
          while (!done_) {
            if (GetFileSizeEx(file_, &size) && size.QuadPart != last) {
              points_.emplace_back(ticks(), last = size.QuadPart);
            }
            Sleep(1);
          }
        }) {}
  ~GrowthLog() {
    finish();
    CloseHandle(file_);
  }
  void finish() {
    done_ = true;
    if (thread_.joinable()) thread_.join();
  }
  // How long the file was at `when`.
  uint64_t size_at(int64_t when) const {
    int64_t size = 0;
    for (const auto& point : points_) {
      if (point.first > when) break;
      size = point.second;
    }
    return static_cast<uint64_t>(size);
  }

 private:
  HANDLE file_;
  std::atomic<bool> done_{false};
  std::vector<std::pair<int64_t, int64_t>> points_;
  std::thread thread_;
};

// A step of the drag: when the mouse moved, the volume it gave, and when
// the shell gave the device its first buffer at that volume.
struct Step {
  int64_t at;
  int hdb;
  int64_t written;
};

// The tone's amplitude at each frame of the left channel: a sine and its
// slope at once (a difference over two frames) give it without a window.
std::vector<double> amplitudes(const std::vector<int16_t>& samples) {
  const double slope_scale =
      2.0 * std::sin(2.0 * 3.14159265358979323846 * shell::tone_frequency / shell::tone_rate);
  const size_t frames = samples.size() / 2;
  std::vector<double> amplitude(frames, 0.0);
  for (size_t i = 1; i + 1 < frames; ++i) {
    const double slope = (samples[2 * (i + 1)] - samples[2 * (i - 1)]) / slope_scale;
    const double value = samples[2 * i];
    amplitude[i] = std::sqrt(value * value + slope * slope);
  }
  return amplitude;
}

using LagTest = sound_testing::ToolbarSoundTest;

TEST_F(LagTest, EveryStepOfADragIsHeardAtOnceAndTheToneNeverBreaks) {
  const char* recording_variable = getenv("DWX_PULSE_RECORDING");
  ASSERT_NE(nullptr, recording_variable)
      << "DWX_PULSE_RECORDING names the recording of the PulseAudio sink the shell plays to";
  const std::wstring recording = shell::widen(recording_variable);

  // Where the drag goes: down to -30 dB in even steps of decibels, and back.
  const int x_low = x_of(static_cast<int>(1000 * std::pow(10.0, -steepest_db / 20))),
            x_high = x_of(1000);
  std::vector<int> xs;
  for (int i = 0; i <= 2 * steps_each_way; ++i) {
    const int down = i <= steps_each_way ? i : 2 * steps_each_way - i;
    const double level = 1000 * std::pow(10.0, -steepest_db * down / steps_each_way / 20);
    const double low_level = 1000 * std::pow(10.0, -steepest_db / 20);
    xs.push_back(x_low + static_cast<int>(std::lround((level - low_level) / (1000 - low_level) *
                                                      (x_high - x_low))));
  }
  click(x_high);
  ASSERT_EQ(0, session->host().volume());

  // The sink has been silent: the tone's first sound is its first buffer.
  hold(300);
  const uint64_t start = file_size(recording) & ~uint64_t{3};
  GrowthLog growth(recording);
  space();
  ASSERT_TRUE(window->playback().playing());
  hold(1000);
  std::vector<Step> steps = {{0, 0, 0}};
  SendMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xs[0], y));
  for (int x : xs) {
    const int64_t at = ticks();
    SendMessageW(trackbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y));
    const int hdb = session->host().volume();
    hold(step_ms);
    steps.push_back({at, hdb, window->playback().written_at(hdb, at)});
  }
  SendMessageW(trackbar, WM_LBUTTONUP, 0, MAKELPARAM(xs.back(), y));
  const int64_t started = window->playback().started_at();
  const DWORD so_far = static_cast<DWORD>(milliseconds(ticks() - started));
  hold(playing_ms > so_far ? playing_ms - so_far : 0);
  const unsigned ran_dry = window->playback().ran_dry();
  space();
  ASSERT_FALSE(window->playback().playing());
  hold(300);  // the recorder writes what it still holds
  growth.finish();

  const std::vector<int16_t> samples = sound_testing::read_samples(recording, start);
  const size_t frames = samples.size() / 2;
  auto silent = [&](size_t frame) {
    return samples[2 * frame] == 0 && samples[2 * frame + 1] == 0;
  };
  size_t first = 0, last = frames;
  while (first < frames && silent(first))
    ++first;
  while (last > first && silent(last - 1))
    --last;
  ASSERT_LT(first, frames) << "the recording holds no sound";
  ASSERT_NE(0, started);

  // Gaps: silence inside the tone.
  std::vector<std::pair<double, double>> gaps;  // where, and how long, in ms
  for (size_t i = first; i < last;) {
    size_t end = i;
    while (end < last && silent(end))
      ++end;
    if (end - i >= shortest_gap)
      gaps.emplace_back((i - first) / rate * 1000, (end - i) / rate * 1000);
    i = end > i ? end : i + 1;
  }

  // Each step is looked for from the frame the recording had reached when
  // the mouse moved: the first of eight frames in a row nearer the new
  // loudness than the old one. The recording grows as the sink plays, so its
  // length is the sink's clock: the lag is how much further it had grown
  // when the step was heard.
  // Each step's way to the ear in two parts: the shell's, from the change to
  // the device taking the first buffer at the new volume; and the output
  // path's, from there to the recording.
  const std::vector<double> amplitude = amplitudes(samples);
  std::vector<double> lags, shell_parts, path_parts;
  size_t from = first;
  for (size_t k = 1; k < steps.size(); ++k) {
    ASSERT_NE(0, steps[k].written) << "step " << k << ": no buffer at its volume went out";
    shell_parts.push_back(milliseconds(steps[k].written - steps[k].at));
    const double before = shell::gain_of(steps[k - 1].hdb), after = shell::gain_of(steps[k].hdb);
    if (std::fabs(decibels(after / before)) < least_step_db) continue;
    const double frame_then = (static_cast<double>(growth.size_at(steps[k].at)) - start) / 4;
    // From a little before, so that a clock set wrong shows as a step heard
    // before it was made.
    size_t at = std::max(from, static_cast<size_t>(std::max(0.0, frame_then - rate / 50)));
    const double middle = std::sqrt(before * after) * shell::tone_peak;
    const bool louder = after > before;
    size_t run = 0;
    for (; at < last && run < 8; ++at) {
      // Silence is a gap, not a step down.
      run = amplitude[at] > 0.5 && (amplitude[at] > middle) == louder ? run + 1 : 0;
    }
    ASSERT_EQ(8u, run) << "step " << k << " never heard";
    from = at - 8;
    lags.push_back((from - frame_then) / rate * 1000);
    path_parts.push_back(lags.back() - shell_parts.back());
  }

  // Largest, median and smallest.
  const auto spread = [](std::vector<double> values) {
    std::sort(values.begin(), values.end());
    char text[80];
    snprintf(text, sizeof text, "%.1f ms (median %.1f ms, smallest %.1f ms)", values.back(),
             values[values.size() / 2], values.front());
    return std::string(text);
  };
  printf("| the output path's own latency: buffer written to its sound in the recording | %s |\n",
         spread(path_parts).c_str());
  printf("| the shell's part: volume change to the first buffer at it written | %s |\n",
         spread(shell_parts).c_str());
  printf("| lag, volume change to the recording, over %u steps of a drag | %s |\n",
         static_cast<unsigned>(lags.size()), spread(lags).c_str());
  printf("| dropouts in %.1f s of playback; of them, the shell's buffers ran dry | %u; %u |\n",
         (last - first) / rate, static_cast<unsigned>(gaps.size()), ran_dry);
  for (const auto& gap : gaps)
    printf("  gap of %.1f ms at %.1f ms\n", gap.second, gap.first);

  EXPECT_GE(lags.size(), 50u) << "steps of the drag told apart in the recording";
  EXPECT_GE((last - first) / rate, playing_ms / 1000.0 - 5) << "seconds of tone recorded";
  EXPECT_GE(*std::min_element(lags.begin(), lags.end()), -10.0)
      << "a step heard before it was made: the clocks disagree";
  // What the shell adds to the path's own latency, at the typical step: a
  // step that waits behind a stall of the path (its largest part) waits for
  // the device to take a buffer back. And the shell never leaves the device
  // without sound; the path's own gaps come whatever the shell queues
  // (README, "Hearing it"): they are printed.
  std::sort(shell_parts.begin(), shell_parts.end());
  EXPECT_LE(shell_parts[shell_parts.size() / 2], shell_bound_ms)
      << "the shell's part of a step's lag, median";
  EXPECT_EQ(0u, ran_dry) << "times the shell's own buffers all came back before it wrote more";
}

}  // namespace
