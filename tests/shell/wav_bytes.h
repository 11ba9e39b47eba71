// WAV files made chunk by chunk, for the tests of the reader and of the shell.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace shell_testing {

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
  WavBytes& extensible(unsigned sub_format, unsigned channels, uint32_t rate, unsigned bits = 16) {
    const unsigned align = bits / 8 * channels;
    chunk("fmt ", 40).u16(0xFFFE).u16(channels).u32(rate).u32(rate * align);
    u16(align).u16(bits).u16(22).u16(bits).u32(channels == 2 ? 3 : 4).u16(sub_format);
    const uint8_t rest[] = {0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    bytes.insert(bytes.end(), rest, rest + sizeof rest);
    return *this;
  }
  // A data chunk of samples stored as they are.
  WavBytes& raw(const std::vector<uint8_t>& stored) {
    chunk("data", static_cast<uint32_t>(stored.size()));
    bytes.insert(bytes.end(), stored.begin(), stored.end());
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

}  // namespace shell_testing
