// The shell's configuration file: the component's blob and the shell's own settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace shell {

struct LoadedConfig {
  enum class State { absent, sound, damaged, unreadable };
  State state = State::absent;
  // What the component is handed: the whole blob, or as much of a damaged
  // one as the file still holds. Empty when there was no file.
  std::vector<uint8_t> blob;
  // Only from a sound file; otherwise the defaults.
  ShellSettings shell;
  // Empty when the file was sound or absent; otherwise what was wrong.
  std::string problem;
};

// The file is "PLVXCFG2", the payload's length and CRC-32 (both u32,
// little-endian), then the payload: the blob's length (u32) and the blob,
// then a count (u32) of the shell's values (i32 each). A file of the first
// form, "PLVXCFG1" with the blob for payload, is still read.
//
// Only a missing file is a first start; a file that exists but cannot be
// read is reported as unreadable, and must not be written over.
LoadedConfig load_config(const std::wstring& path);
// Writes a new file beside the old one, then puts it in the old one's place,
// so a crash mid-write never leaves the settings half written; a failure
// leaves the old file as it was.
bool save_config(const std::wstring& path, const std::vector<uint8_t>& blob,
                 const ShellSettings& shell = {});

std::vector<uint8_t> encode_config(const std::vector<uint8_t>& blob,
                                   const ShellSettings& shell = {});
LoadedConfig decode_config(const std::vector<uint8_t>& file);

}  // namespace shell
