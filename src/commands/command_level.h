// Where each volume command takes the level: arithmetic alone, with no host or menu.
#pragma once

#include <cstdint>

#include "backend/volume_scale.h"
#include "frame/config.h"

namespace dwx {

// The commands, by their index in the host's menus.
enum class VolumeCommand : uint32_t { up = 0, down = 1, mute = 2 };

// The level `command` leads to from `level`, which is first held to the
// scale: 15 levels up, at most full; 15 down, at least silence; or the mute
// toggle, which keeps the level it silences in `muted_level` and gives it
// back, held to the scale, when pressed at silence.
VolumeLevel level_after(VolumeCommand command, VolumeLevel level, ConfigInt& muted_level);

}  // namespace dwx
