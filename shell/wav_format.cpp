// Reading WAV headers: a RIFF header, then chunks, of which "fmt " and "data"
// matter; and the conversion of every kind of PCM sample the shell plays.
#include "shell/wav_format.h"

#include <cstring>

namespace shell {

namespace {

constexpr unsigned lowest_rate = 8000, highest_rate = 192000;
constexpr uint16_t format_pcm = 1, format_float = 3, format_extensible = 0xFFFE;
// The largest format chunk read: the extended form's 40 bytes.
constexpr uint32_t format_bytes = 40;
// A real file has a handful of chunks before its sound. Walking a file of
// millions of empty ones would keep the window waiting.
constexpr unsigned most_chunks = 4096;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

// The format chunk: true when it describes sound the shell plays.
bool read_format(const uint8_t* chunk, uint32_t size, WavLayout* layout, std::string* error) {
  if (size < 16) return fail(error, "Its format chunk is too short to describe the sound.");
  uint16_t format = u16(chunk);
  const unsigned channels = u16(chunk + 2), rate = u32(chunk + 4), align = u16(chunk + 12),
                 bits = u16(chunk + 14);
  // The extended form names the real format in the first two bytes of its
  // sub-format GUID; its samples fill `bits`, of which the valid ones are
  // the high ones, so they read as samples of that size.
  if (format == format_extensible && size >= 40) format = u16(chunk + 24);
  if (format != format_pcm && format != format_float) {
    return fail(error, "It holds compressed sound (format " + std::to_string(format) +
                           "); only PCM and 32-bit floating-point sound are played.");
  }
  const bool floating = format == format_float;
  if (floating ? bits != 32 : bits != 8 && bits != 16 && bits != 24 && bits != 32) {
    return fail(error, "It holds " + std::to_string(bits) + "-bit " +
                           (floating ? "floating-point samples; only 32-bit ones are played."
                                     : "samples; only 8, 16, 24 and 32-bit PCM is played."));
  }
  if (channels != 1 && channels != 2) {
    return fail(error, "It has " + std::to_string(channels) +
                           " channels; only mono and stereo are played.");
  }
  if (rate < lowest_rate || rate > highest_rate) {
    return fail(error, "Its sample rate, " + std::to_string(rate) +
                           " Hz, is outside the 8000 to 192000 Hz that are played.");
  }
  if (align != channels * bits / 8) {
    return fail(error, "Its format chunk does not add up: " + std::to_string(align) +
                           " bytes a frame for " + std::to_string(channels) + " channels of " +
                           std::to_string(bits) + " bits.");
  }
  layout->rate = rate;
  layout->channels = channels;
  layout->bits = bits;
  layout->floating = floating;
  return true;
}

}  // namespace

bool parse_wav(const ReadAt& read, uint64_t file_size, WavLayout* layout, std::string* error) {
  uint8_t riff[12];
  if (file_size < 12 || !read(0, riff, 12) || memcmp(riff, "RIFF", 4) != 0 ||
      memcmp(riff + 8, "WAVE", 4) != 0) {
    return fail(error, "It is not a WAV file.");
  }
  bool format_seen = false, data_seen = false;
  uint32_t data_size = 0;
  uint64_t at = 12;
  for (unsigned chunks = 0; at + 8 <= file_size && !(format_seen && data_seen); ++chunks) {
    uint8_t header[8];
    if (chunks == most_chunks || !read(at, header, 8)) {
      return fail(error, "It cannot be read: its header goes on past the sound's.");
    }
    const uint32_t chunk_size = u32(header + 4);
    const uint64_t left = file_size - at - 8;
    if (memcmp(header, "data", 4) == 0) {
      if (chunk_size > left) {
        return fail(error, "It is cut short: its sound should be " + std::to_string(chunk_size) +
                               " bytes, and only " + std::to_string(left) + " are there.");
      }
      layout->data_offset = at + 8;
      data_size = chunk_size;
      data_seen = true;
    } else if (chunk_size > left) {
      return fail(error, "It is cut short inside its header.");
    } else if (memcmp(header, "fmt ", 4) == 0) {
      uint8_t format[format_bytes];
      const uint32_t size = chunk_size < format_bytes ? chunk_size : format_bytes;
      if (!read(at + 8, format, size)) return fail(error, "It cannot be read.");
      if (!read_format(format, size, layout, error)) return false;
      format_seen = true;
    }
    // Chunks start on even offsets: an odd size is followed by a pad byte.
    at += 8 + static_cast<uint64_t>(chunk_size) + (chunk_size & 1);
  }
  const bool complete = format_seen && data_seen;
  if (!complete && at < file_size) return fail(error, "It is cut short inside its header.");
  if (!format_seen) return fail(error, "It has no format chunk, so its sound cannot be read.");
  if (!data_seen) return fail(error, "It has no sound data.");
  // A last frame cut in half is left out.
  layout->frames = data_size / layout->frame_bytes();
  if (layout->frames == 0) return fail(error, "It holds no sound.");
  return true;
}

void decode_frames(const WavLayout& layout, const uint8_t* bytes, size_t frames, double* out) {
  const size_t count = frames * layout.channels;
  switch (layout.bits) {
    case 8:  // unsigned, 128 the middle
      for (size_t i = 0; i < count; ++i)
        out[i] = (bytes[i] - 128) * 256.0;
      break;
    case 16:
      for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<int16_t>(u16(bytes + 2 * i));
      break;
    case 24:
      for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = bytes + 3 * i;
        // The three bytes as the top of a 32-bit integer keep their sign.
        const auto top = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 |
                                              static_cast<uint32_t>(p[1]) << 16 |
                                              static_cast<uint32_t>(p[2]) << 24);
        out[i] = top / 65536.0;
      }
      break;
    default:
      for (size_t i = 0; i < count; ++i) {
        const uint32_t word = u32(bytes + 4 * i);
        if (!layout.floating) {
          out[i] = static_cast<int32_t>(word) / 65536.0;
          continue;
        }
        float value;
        memcpy(&value, &word, sizeof value);
        // Not a number is no sound; the rest is clipped with the volume.
        out[i] = value == value ? value * 32768.0 : 0.0;
      }
      break;
  }
}

}  // namespace shell
