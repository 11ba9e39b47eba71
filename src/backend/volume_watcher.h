// The play callback through which the host reports changes of its own volume.
#pragma once

#include <atomic>
#include <cstdint>

#include "frame/service_factory.h"
#include "host/component_api.h"

namespace dwx {

// Broadcasts each new host volume to the sliders while the host's own volume
// is the target. May be called on any host thread.
class VolumeWatcher final : public StaticService<PlayCallbackInterface> {
 public:
  // Only the volume-change notification is wanted.
  static constexpr uint32_t volume_change_flag = 256;
  // No real volume is ever this far above full: the next change always differs.
  static constexpr int32_t no_volume_seen = 31337;

  uint32_t get_flags() override { return volume_change_flag; }
  void on_notification0() override {}
  void on_notification1a(uint32_t) override {}
  void on_notification1b(uint32_t) override {}
  void on_notification2a(uint32_t, uint32_t) override {}
  void on_notification1c(uint32_t) override {}
  void on_notification1d(uint32_t) override {}
  void on_notification2b(uint32_t, uint32_t) override {}
  void on_notification3(uint32_t, uint32_t, uint32_t) override {}
  void on_volume_change(int32_t hdb) override;

 private:
  std::atomic<int32_t> last_volume_{no_volume_seen};
};

}  // namespace dwx
