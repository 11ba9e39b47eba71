// The shell's WAV reader: what it plays, and what it says of what it cannot.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/wav_file.h"
#include "wav_bytes.h"

namespace {

using shell_testing::WavBytes;

TEST(WavFile, ReadsSixteenBitPcm) {
  struct Case {
    const char* what;
    WavBytes file;
    unsigned rate, channels;
    std::vector<int16_t> samples;
  };
  const Case cases[] = {
      {"mono",
       WavBytes().format(1, 1, 22050, 16, 2).data({1, -2, 32767, -32768}),
       22050,
       1,
       {1, -2, 32767, -32768}},
      // A chunk of odd size before the sound is followed by a pad byte, and
      // the last frame, cut in half, is left out.
      {"stereo, extended format, odd chunk, half a frame",
       WavBytes().extensible(1, 2, 48000).chunk("LIST", 3).u16(0).u16(0).data({5, 6, 7}),
       48000,
       2,
       {5, 6}},
  };
  for (const Case& c : cases) {
    shell::Sound sound;
    std::string error;
    ASSERT_TRUE(shell::parse_wav(c.file.bytes.data(), c.file.bytes.size(), &sound, &error))
        << c.what << ": " << error;
    EXPECT_EQ(c.rate, sound.rate) << c.what;
    EXPECT_EQ(c.channels, sound.channels) << c.what;
    EXPECT_EQ(c.samples, sound.samples) << c.what;
  }
}

TEST(WavFile, SaysWhyAFileCannotBePlayed) {
  struct Case {
    WavBytes file;
    const char* said;
  };
  WavBytes not_riff;
  memcpy(not_riff.bytes.data(), "RIFX", 4);
  const Case cases[] = {
      {not_riff.format(1, 1, 8000, 16, 2).data({0}), "not a WAV file"},
      {WavBytes().format(1, 1, 8000, 8, 1).data({0}), "8-bit samples"},
      {WavBytes().format(3, 1, 8000, 32, 4).data({0}), "format 3"},
      {WavBytes().extensible(3, 2, 44100).data({0, 0}), "format 3"},
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
    shell::Sound sound;
    std::string error;
    EXPECT_FALSE(shell::parse_wav(c.file.bytes.data(), c.file.bytes.size(), &sound, &error))
        << c.said;
    EXPECT_NE(std::string::npos, error.find(c.said)) << c.said << " in: " << error;
  }
}

}  // namespace
