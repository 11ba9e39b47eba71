// The component-version service: file name, name, version and about text.
#pragma once

#include "frame/service_factory.h"
#include "host/component_api.h"

namespace dwx {

class ComponentVersion final : public StaticService<ComponentVersionInterface> {
 public:
  void get_file_name(HostString* out) override;
  void get_component_name(HostString* out) override;
  void get_component_version(HostString* out) override;
  void get_about(HostString* out) override;
};

}  // namespace dwx
