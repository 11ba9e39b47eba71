// The object the entry function hands to the host.
#pragma once

#include <cstdint>

#include "frame/service_factory.h"
#include "host/component_api.h"

namespace dwx {

class VolumeComponentClient final : public ComponentClient {
 public:
  uint32_t get_version() override;
  ServiceFactory* get_service_list() override;
  void write_config(ConfigWriter* writer) override;
  void read_config(const void* data, uint32_t size) override;
  void reserved() override;
  void set_module_strings(const char* first, const char* name) override;
  void set_services_ready(bool ready) override;
};

extern VolumeComponentClient component_client;

}  // namespace dwx
