// Reading and setting the host's own volume.
#include "backend/host_volume.h"

#include <atomic>

#include "frame/component_state.h"
#include "host/guids.h"
#include "host/host_api.h"

namespace dwx {

namespace {

// Kept, never released, for the life of the library: the host promises the
// service stays valid until unload.
std::atomic<PlaybackControl*> playback_control{nullptr};

PlaybackControl* find_playback_control() {
  PlaybackControl* service = playback_control.load();
  if (service != nullptr) return service;
  HostApi* host = host_api();
  if (host == nullptr) return nullptr;
  service = static_cast<PlaybackControl*>(host->find_service(&playback_control_class, 0));
  if (service == nullptr) return nullptr;
  PlaybackControl* expected = nullptr;
  if (!playback_control.compare_exchange_strong(expected, service)) {
    service->release();  // another thread cached one first
    return expected;
  }
  return service;
}

}  // namespace

int32_t host_get_volume() {
  PlaybackControl* service = find_playback_control();
  return service != nullptr ? service->get_volume() : 0;
}

void host_set_volume(int32_t hdb) {
  if (PlaybackControl* service = find_playback_control()) service->set_volume(hdb);
}

void forget_playback_control() { playback_control.store(nullptr); }

}  // namespace dwx
