// The host's handle on the component: service list, configuration, module strings, readiness.
#include "frame/component_client.h"

#include "frame/component_state.h"
#include "frame/settings.h"

namespace dwx {

// The interface revision the host expects of a component.
constexpr uint32_t client_version = 35;

uint32_t VolumeComponentClient::get_version() { return client_version; }

ServiceFactory* VolumeComponentClient::get_service_list() { return service_list_head(); }

void VolumeComponentClient::write_config(ConfigWriter* writer) {
  if (writer != nullptr) configuration.write(*writer);
}

void VolumeComponentClient::read_config(const void* data, uint32_t size) {
  if (data != nullptr) configuration.read(data, size);
}

void VolumeComponentClient::reserved() {}

void VolumeComponentClient::set_module_strings(const char* first, const char* name) {
  component.set_module_strings(first, name);
}

void VolumeComponentClient::set_services_ready(bool ready) { component.set_services_ready(ready); }

}  // namespace dwx
