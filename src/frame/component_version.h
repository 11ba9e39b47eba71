// The component-version service: file name, name, version and about text.
#pragma once

#include "frame/service_factory.h"
#include "host/host_string.h"

namespace dwx {

class ComponentVersionInterface : public ServiceObject {
 public:
  virtual void get_file_name(HostString* out) = 0;
  virtual void get_component_name(HostString* out) = 0;
  virtual void get_component_version(HostString* out) = 0;
  virtual void get_about(HostString* out) = 0;

 protected:
  ~ComponentVersionInterface() = default;
};

class ComponentVersion final : public StaticService<ComponentVersionInterface> {
 public:
  void get_file_name(HostString* out) override;
  void get_component_name(HostString* out) override;
  void get_component_version(HostString* out) override;
  void get_about(HostString* out) override;
};

}  // namespace dwx
