// The shell's WAV reader: what it plays, and what it says of what it cannot.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "shell/wav_file.h"

namespace {

// A WAV file made chunk by chunk.
struct WavBytes {
  std::vector<uint8_t> bytes;

  WavBytes() {
    const char* header = "RIFF\0\0\0\0WAVE";  // the RIFF size is not read
    bytes.assign(header, header + 12);
  }

  WavBytes& u16(unsigned value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
    return *this;
  }
  WavBytes& u32(uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
  // A chunk header; its body is added after it.
  WavBytes& chunk(const char* id, uint32_t size) {
    bytes.insert(bytes.end(), id, id + 4);
    return u32(size);
  }
  WavBytes& format(unsigned tag, unsigned channels, uint32_t rate, unsigned bits, unsigned align) {
    return chunk("fmt ", 16)
        .u16(tag)
        .u16(channels)
        .u32(rate)
        .u32(rate * align)
        .u16(align)
        .u16(bits);
  }
  // The extended form, whose sub-format GUID begins with the real format.
  WavBytes& extensible(unsigned sub_format, unsigned channels, uint32_t rate) {
    chunk("fmt ", 40).u16(0xFFFE).u16(channels).u32(rate).u32(rate * 2 * channels);
    u16(2 * channels).u16(16).u16(22).u16(16).u32(channels == 2 ? 3 : 4).u16(sub_format);
    const uint8_t rest[] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    bytes.insert(bytes.end(), rest, rest + sizeof rest);
    return *this;
  }
  WavBytes& data(const std::vector<int16_t>& samples, size_t cut = 0) {
    chunk("data", static_cast<uint32_t>(2 * samples.size()));
    for (int16_t sample : samples)
      u16(static_cast<uint16_t>(sample));
    bytes.resize(bytes.size() - cut);
    return *this;
  }
};

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
