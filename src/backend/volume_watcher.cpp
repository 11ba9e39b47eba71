// Following the host's own volume.
#include "backend/volume_watcher.h"

#include "backend/slider_registry.h"
#include "backend/volume_scale.h"
#include "frame/lock.h"
#include "frame/settings.h"

namespace dwx {

void VolumeWatcher::on_volume_change(int32_t hdb) {
  if (mixer_id.value() != 0) {
    // A mixer drives the sliders now; forget what was seen, so that the first
    // change after switching back always reaches them.
    last_volume_.store(no_volume_seen);
    return;
  }
  if (last_volume_.exchange(hdb) == hdb) return;
  LockGuard guard(slider_registry.lock());
  // A mixer selected while this thread waited has shown its own level: a
  // host level now would overwrite it on every slider.
  if (mixer_id.value() != 0) {
    last_volume_.store(no_volume_seen);
    return;
  }
  // Read again once the registry is ours: when the host reported a newer
  // volume on another thread while this one waited, that is the level to show.
  const int32_t latest = last_volume_.load();
  if (latest != no_volume_seen) slider_registry.broadcast(hdb_to_level(latest));
}

}  // namespace dwx
