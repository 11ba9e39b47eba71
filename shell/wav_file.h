// WAV files as sounds the shell plays: the header read when a file is
// chosen, the sound read from disk as it plays.
#pragma once

#include <memory>
#include <string>

#include "shell/sound.h"

namespace shell {

// The sound of the WAV file at `path`, named after the file, having read
// only its header. Null with a sentence a person can act on in `error` when
// the file cannot be played.
std::shared_ptr<const Sound> open_wav_file(const std::wstring& path, std::string* error);

}  // namespace shell
