// The component's three settings, kept only in the host's configuration blob.
#pragma once

#include "frame/config.h"

namespace dwx {

// Defined in module.cpp, constructed in this order, so the blob lists them
// newest first: mixer_mute_level, mixer_control, mixer_id.
extern ConfigList configuration;
extern ConfigInt mixer_id;          // 0 the host's own volume, n >= 1 system mixer n-1
extern ConfigInt mixer_control;     // 0 the master volume, n >= 1 source line n-1
extern ConfigInt mixer_mute_level;  // the level the mute command silenced

}  // namespace dwx
