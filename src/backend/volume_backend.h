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

  // False when the target cannot be read, which has been reported.
  bool get_volume(VolumeLevel* level);
  // Does not broadcast: the target's own notification moves the sliders.
  void set_volume(VolumeLevel level);
  // Reads the level and sets change(level), with no other access between:
  // two changes at once both count. Nothing is set when the level cannot be
  // read; the result says whether it could. `change` runs under the backend
  // lock.
  template <class Change>
  bool change_volume(Change change) {
    LockGuard guard(lock_);
    open_if_first_use();
    VolumeLevel level;
    if (!mixer_.read_level(&level)) return false;
    mixer_.write_level(change(level));
    return true;
  }
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
