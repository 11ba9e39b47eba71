// The shell's own reader of WAV files: 16-bit PCM, mono or stereo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "shell/sound.h"

namespace shell {

// Reads the file at `path` into `sound`, named after the file. False with a
// sentence a person can act on in `error` when the file cannot be played.
bool read_wav_file(const std::wstring& path, Sound* sound, std::string* error);
// The same for a file's bytes; `sound` keeps its name.
bool parse_wav(const uint8_t* bytes, size_t size, Sound* sound, std::string* error);

}  // namespace shell
