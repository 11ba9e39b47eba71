// The one way to the volume: opens the configured target lazily and serialises every access.
#pragma once

#include <cstdint>

#include "backend/mixer_connection.h"
#include "backend/volume_scale.h"
#include "frame/lock.h"

namespace dwx {

// Sliders, commands and the preferences page all go through here. The
// backend lock is taken around every open, read and write; the registry and
// notice-log locks may be taken under it, never the other way round.
class VolumeBackend {
 public:
  VolumeBackend() = default;
  VolumeBackend(const VolumeBackend&) = delete;
  VolumeBackend& operator=(const VolumeBackend&) = delete;

  VolumeLevel get_volume();
  // Does not broadcast: the target's own notification moves the sliders.
  void set_volume(VolumeLevel level);
  // Selects a new target and broadcasts its level. When the device cannot be
  // opened, the host's own volume is used and mixer_id is set back to 0.
  void reopen(uint32_t device, uint32_t control);

 private:
  void open_if_first_use();

  // Member order matters at unload: the mixer is closed before the lock goes.
  RecursiveLock lock_;
  bool initialised_ = false;
  MixerConnection mixer_;
};

extern VolumeBackend volume_backend;

}  // namespace dwx
