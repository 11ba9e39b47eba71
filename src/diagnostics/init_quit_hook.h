// The init/quit hook: the host's signal to flush or discard the queued notices.
#pragma once

#include "frame/service_factory.h"
#include "host/component_api.h"

namespace dwx {

class InitQuitHook final : public StaticService<InitQuitInterface> {
 public:
  void on_init() override;    // flushes the queued notices to the console
  void on_second() override;  // nothing to do
  void on_quit() override;    // discards them
};

}  // namespace dwx
