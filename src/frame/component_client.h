// The object the entry function hands to the host.
#pragma once

#include <cstdint>

#include "frame/service_factory.h"
#include "host/config_writer.h"

namespace dwx {

// Slot order is the host's. A static object, never freed.
class ComponentClient final {
 public:
  virtual uint32_t get_version();
  virtual ServiceFactory* get_service_list();
  virtual void write_config(ConfigWriter* writer);
  virtual void read_config(const void* data, uint32_t size);
  virtual void reserved();
  virtual void set_module_strings(const char* first, const char* name);
  virtual void set_services_ready(bool ready);
};

extern ComponentClient component_client;

}  // namespace dwx
