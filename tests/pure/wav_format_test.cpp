// The shell's WAV header reader and sample conversions: what it plays, how
// each kind of sample comes out, and what it says of what it cannot play.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "shell/wav_bytes.h"
#include "shell/wav_format.h"

namespace {

using shell_testing::WavBytes;

bool parse(const WavBytes& file, shell::WavLayout* layout, std::string* error) {
  const std::vector<uint8_t>& bytes = file.bytes;
  const shell::ReadAt read = [&bytes](uint64_t offset, uint8_t* out, size_t size) {
    if (offset > bytes.size() || size > bytes.size() - offset) return false;
    memcpy(out, bytes.data() + offset, size);
    return true;
  };
  return shell::parse_wav(read, bytes.size(), layout, error);
}

TEST(WavFormat, EveryKindOfSampleComesOutOnTheSixteenBitScale) {
  const float minus_half = -0.5f, nan = std::nanf("");
  uint8_t floats[12];
  const float one = 1.0f;
  memcpy(floats, &one, 4);
  memcpy(floats + 4, &minus_half, 4);
  memcpy(floats + 8, &nan, 4);
  struct Case {
    const char* what;
    WavBytes file;
    unsigned rate, channels;
    std::vector<double> samples;
  };
  const Case cases[] = {
      {"8-bit mono",
       WavBytes().format(1, 1, 8000, 8, 1).raw({0, 128, 255}),
       8000,
       1,
       {-32768, 0, 32512}},
      {"16-bit mono",
       WavBytes().format(1, 1, 22050, 16, 2).data({1, -2, 32767, -32768}),
       22050,
       1,
       {1, -2, 32767, -32768}},
      {"24-bit stereo",
       WavBytes().format(1, 2, 96000, 24, 6).raw({0xFF, 0xFF, 0x7F, 0, 0, 0x80, 1, 0, 0, 0, 0, 0}),
       96000,
       2,
       {32767.99609375, -32768, 0.00390625, 0}},
      {"32-bit mono",
       WavBytes().format(1, 1, 192000, 32, 4).raw({0xFF, 0xFF, 0xFF, 0x7F, 0, 0, 1, 0}),
       192000,
       1,
       {2147483647 / 65536.0, 1}},
      // Not a number is silence.
      {"32-bit float mono",
       WavBytes().format(3, 1, 44100, 32, 4).raw(std::vector<uint8_t>(floats, floats + 12)),
       44100,
       1,
       {32768, -16384, 0}},
      {"extended 24-bit stereo",
       WavBytes().extensible(1, 2, 48000, 24).raw({0, 0, 0x80, 0, 0, 0x40}),
       48000,
       2,
       {-32768, 16384}},
      {"extended float stereo",
       WavBytes().extensible(3, 2, 48000, 32).raw(std::vector<uint8_t>(floats, floats + 8)),
       48000,
       2,
       {32768, -16384}},
      // A chunk of odd size before the sound is followed by a pad byte, and
      // the last frame, cut in half, is left out.
      {"odd chunk first, half a frame last",
       WavBytes().extensible(1, 2, 48000).chunk("LIST", 3).u16(0).u16(0).data({5, 6, 7}),
       48000,
       2,
       {5, 6}},
      {"sound before format", WavBytes().data({7, 8}).format(1, 1, 8000, 16, 2), 8000, 1, {7, 8}},
  };
  for (const Case& c : cases) {
    shell::WavLayout layout;
    std::string error;
    ASSERT_TRUE(parse(c.file, &layout, &error)) << c.what << ": " << error;
    EXPECT_EQ(c.rate, layout.rate) << c.what;
    EXPECT_EQ(c.channels, layout.channels) << c.what;
    ASSERT_EQ(c.samples.size(), layout.frames * layout.channels) << c.what;
    std::vector<double> samples(c.samples.size());
    shell::decode_frames(layout, c.file.bytes.data() + layout.data_offset,
                         static_cast<size_t>(layout.frames), samples.data());
    EXPECT_EQ(c.samples, samples) << c.what;
  }
}

TEST(WavFormat, SaysWhyAFileCannotBePlayed) {
  struct Case {
    WavBytes file;
    const char* said;
  };
  WavBytes not_riff;
  memcpy(not_riff.bytes.data(), "RIFX", 4);
  const Case cases[] = {
      {not_riff.format(1, 1, 8000, 16, 2).data({0}), "not a WAV file"},
      {WavBytes().format(1, 1, 8000, 12, 2).data({0}), "12-bit samples"},
      {WavBytes().format(3, 1, 8000, 64, 8).data({0, 0, 0, 0}), "64-bit floating-point"},
      {WavBytes().format(2, 1, 8000, 4, 256).data({0}), "format 2"},
      {WavBytes().extensible(2, 2, 44100).data({0, 0}), "format 2"},
      {WavBytes().format(1, 3, 8000, 16, 6).data({0, 0, 0}), "3 channels"},
      {WavBytes().format(1, 1, 4000, 16, 2).data({0}), "4000 Hz"},
      {WavBytes().format(1, 2, 8000, 16, 2).data({0}), "does not add up"},
      {WavBytes().format(1, 1, 8000, 16, 2).data({0, 0, 0}, 1), "cut short: its sound"},
      {WavBytes().format(1, 1, 8000, 16, 2).chunk("LIST", 100).u32(0), "cut short inside"},
      {WavBytes().u32(0x20746D66), "cut short inside"},
      {WavBytes().format(1, 1, 8000, 16, 2), "no sound data"},
      {WavBytes().data({0}), "no format chunk"},
      {WavBytes().format(1, 1, 8000, 16, 2).data({}), "holds no sound"},
      {WavBytes().chunk("fmt ", 14).u32(0).u32(0).u32(0).u16(0), "too short"},
  };
  for (const Case& c : cases) {
    shell::WavLayout layout;
    std::string error;
    EXPECT_FALSE(parse(c.file, &layout, &error)) << c.said;
    EXPECT_NE(std::string::npos, error.find(c.said)) << c.said << " in: " << error;
  }
}

}  // namespace
