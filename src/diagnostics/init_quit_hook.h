// The init/quit hook: the host's signal to flush or discard the queued notices.
#pragma once

#include "frame/service_factory.h"

namespace dwx {

class InitQuitInterface : public ServiceObject {
 public:
  virtual void on_init() = 0;
  virtual void on_second() = 0;
  virtual void on_quit() = 0;

 protected:
  ~InitQuitInterface() = default;
};

class InitQuitHook final : public StaticService<InitQuitInterface> {
 public:
  void on_init() override;    // flushes the queued notices to the console
  void on_second() override;  // nothing to do
  void on_quit() override;    // discards them
};

}  // namespace dwx
