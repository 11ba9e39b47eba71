// Reading WAV files: a RIFF header, then chunks, of which "fmt " and "data" matter.
#include "shell/wav_file.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "shell/text.h"

namespace shell {

namespace {

// Longer than a CD-quality stereo hour: a larger file is not a sound to try
// the volume with, and reading it would take a good part of a 32-bit
// program's memory.
constexpr uint64_t largest_file = 256u << 20;
constexpr unsigned lowest_rate = 8000, highest_rate = 192000;
constexpr uint16_t format_pcm = 1, format_extensible = 0xFFFE;

uint16_t u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t u32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool fail(std::string* error, const std::string& text) {
  *error = text;
  return false;
}

// The format chunk: true when it describes 16-bit PCM the shell plays.
bool read_format(const uint8_t* chunk, uint32_t size, Sound* sound, std::string* error) {
  if (size < 16) return fail(error, "Its format chunk is too short to describe the sound.");
  uint16_t format = u16(chunk);
  const unsigned channels = u16(chunk + 2), rate = u32(chunk + 4), align = u16(chunk + 12),
                 bits = u16(chunk + 14);
  // The extended form names the real format in the first two bytes of its
  // sub-format GUID.
  if (format == format_extensible && size >= 40) format = u16(chunk + 24);
  if (format != format_pcm) {
    return fail(error, "It holds compressed or floating-point sound (format " +
                           std::to_string(format) + "); only 16-bit PCM is played.");
  }
  if (bits != 16) {
    return fail(error,
                "It holds " + std::to_string(bits) + "-bit samples; only 16-bit PCM is played.");
  }
  if (channels != 1 && channels != 2) {
    return fail(error, "It has " + std::to_string(channels) +
                           " channels; only mono and stereo are played.");
  }
  if (rate < lowest_rate || rate > highest_rate) {
    return fail(error, "Its sample rate, " + std::to_string(rate) +
                           " Hz, is outside the 8000 to 192000 Hz that are played.");
  }
  if (align != channels * 2) {
    return fail(error, "Its format chunk does not add up: " + std::to_string(align) +
                           " bytes a frame for " + std::to_string(channels) +
                           " channels of 16 bits.");
  }
  sound->rate = rate;
  sound->channels = channels;
  return true;
}

}  // namespace

bool parse_wav(const uint8_t* bytes, size_t size, Sound* sound, std::string* error) {
  if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0) {
    return fail(error, "It is not a WAV file.");
  }
  const uint8_t* data = nullptr;
  uint32_t data_size = 0;
  bool format_seen = false;
  size_t at = 12;
  while (at + 8 <= size && !(format_seen && data != nullptr)) {
    const uint8_t* chunk = bytes + at + 8;
    const uint32_t chunk_size = u32(bytes + at + 4);
    const size_t left = size - at - 8;
    if (memcmp(bytes + at, "data", 4) == 0) {
      if (chunk_size > left) {
        return fail(error, "It is cut short: its sound should be " + std::to_string(chunk_size) +
                               " bytes, and only " + std::to_string(left) + " are there.");
      }
      data = chunk;
      data_size = chunk_size;
    } else if (chunk_size > left) {
      return fail(error, "It is cut short inside its header.");
    } else if (memcmp(bytes + at, "fmt ", 4) == 0) {
      if (!read_format(chunk, chunk_size, sound, error)) return false;
      format_seen = true;
    }
    // Chunks start on even offsets: an odd size is followed by a pad byte.
    at += 8 + static_cast<size_t>(chunk_size) + (chunk_size & 1);
  }
  const bool complete = format_seen && data != nullptr;
  if (!complete && at < size) return fail(error, "It is cut short inside its header.");
  if (!format_seen) return fail(error, "It has no format chunk, so its sound cannot be read.");
  if (data == nullptr) return fail(error, "It has no sound data.");
  // A last frame cut in half is left out.
  const size_t frames = data_size / (sound->channels * 2);
  if (frames == 0) return fail(error, "It holds no sound.");
  sound->samples.resize(frames * sound->channels);
  for (size_t i = 0; i < sound->samples.size(); ++i) {
    sound->samples[i] = static_cast<int16_t>(u16(data + 2 * i));
  }
  sound->loops = false;
  return true;
}

bool read_wav_file(const std::wstring& path, Sound* sound, std::string* error) {
  HANDLE file =
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(error, "It cannot be opened.");
  LARGE_INTEGER length = {};
  std::vector<uint8_t> bytes;
  bool complete =
      GetFileSizeEx(file, &length) && static_cast<uint64_t>(length.QuadPart) <= largest_file;
  if (complete) {
    bytes.resize(static_cast<size_t>(length.QuadPart));
    DWORD got = 0;
    complete = bytes.empty() ||
               (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                got == bytes.size());
  }
  CloseHandle(file);
  if (!complete) {
    return fail(error, length.QuadPart > static_cast<LONGLONG>(largest_file)
                           ? "It is larger than the 256 MB the shell reads."
                           : "It cannot be read.");
  }
  const size_t name = path.find_last_of(L"\\/") + 1;
  sound->name = narrow(path.substr(name));
  return parse_wav(bytes.data(), bytes.size(), sound, error);
}

}  // namespace shell
