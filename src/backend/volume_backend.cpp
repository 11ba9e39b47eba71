// The locked facade over the mixer connection.
#include "backend/volume_backend.h"

#include "backend/slider_registry.h"
#include "frame/settings.h"

namespace dwx {

void VolumeBackend::open_if_first_use() {
  if (initialised_) return;
  // Set before opening: a target that fails to open is not tried again.
  initialised_ = true;
  reopen(static_cast<uint32_t>(mixer_id.value()), static_cast<uint32_t>(mixer_control.value()));
}

bool VolumeBackend::get_volume(VolumeLevel* level) {
  LockGuard guard(lock_);
  open_if_first_use();
  return mixer_.read_level(level);
}

void VolumeBackend::set_volume(VolumeLevel level) {
  LockGuard guard(lock_);
  open_if_first_use();
  mixer_.write_level(level);
}

void VolumeBackend::reopen(uint32_t device, uint32_t control) {
  LockGuard guard(lock_);
  if (!mixer_.open(device, control)) mixer_id.set(0);
  // The host may report a new volume on a thread of its own between the
  // read below and its broadcast; that report reaches the sliders first and
  // holds the newer level. The read cannot be made under the registry lock
  // instead: a host that reports under a lock of its own takes the registry
  // lock while holding it, and the read would take the two the other way.
  const uint32_t seen = slider_registry.updates();
  // A level that cannot be read leaves the sliders where they are.
  VolumeLevel level;
  if (!mixer_.read_level(&level)) return;
  if (mixer_.reads_host_volume()) {
    slider_registry.broadcast_unless_overtaken(level, seen);
  } else {
    slider_registry.broadcast(level);
  }
}

}  // namespace dwx
