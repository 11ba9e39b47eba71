// What a WAV file's header says of its sound, and its samples made into numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace shell {

struct WavLayout {
  unsigned rate = 0;         // frames a second
  unsigned channels = 0;     // 1 or 2
  unsigned bits = 0;         // of each sample as stored: 8, 16, 24 or 32
  bool floating = false;     // 32-bit IEEE floats rather than integers
  uint64_t data_offset = 0;  // where the first frame starts in the file
  uint64_t frames = 0;       // whole frames of sound

  unsigned frame_bytes() const { return channels * bits / 8; }
};

// Reads `size` bytes at `offset` of the file into `out`; false when they
// cannot all be read.
using ReadAt = std::function<bool(uint64_t offset, uint8_t* out, size_t size)>;

// Finds the sound in a file of `file_size` bytes, reading only its chunk
// headers and its format. False with a sentence a person can act on in
// `error` when the file cannot be played.
bool parse_wav(const ReadAt& read, uint64_t file_size, WavLayout* layout, std::string* error);

// The samples of `frames` whole frames, interleaved, on the 16-bit scale
// (full scale is 32768, and nothing is rounded yet): what every kind of
// sample becomes before the volume is applied.
void decode_frames(const WavLayout& layout, const uint8_t* bytes, size_t frames, double* out);

}  // namespace shell
