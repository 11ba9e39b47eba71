// The shell's configuration file: the component's blob, kept beside the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace shell {

struct LoadedConfig {
  // What the component is handed: the whole blob, or as much of a damaged
  // one as the file still holds. Empty when there was no file.
  std::vector<uint8_t> blob;
  // Empty when the file was sound or absent; otherwise what was wrong.
  std::string problem;
};

// The file is "PLVXCFG1", the blob's length and CRC-32 (both u32,
// little-endian), then the blob itself.
LoadedConfig load_config(const std::wstring& path);
// Writes a new file beside the old one, then puts it in the old one's place,
// so a crash mid-write never leaves the settings half written.
bool save_config(const std::wstring& path, const std::vector<uint8_t>& blob);

std::vector<uint8_t> encode_config(const std::vector<uint8_t>& blob);
LoadedConfig decode_config(const std::vector<uint8_t>& file);

}  // namespace shell
