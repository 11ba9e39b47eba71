// The host's menu-item service interface, as the component implements it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_api.h"
#include "host/host_string.h"

namespace dwx {

// Slots 3 to 13 after the three common ones. The host gives meaning to 3, 4,
// 9 and 10; the component only has to answer them with their constants.
class MenuItemInterface : public ServiceObject {
 public:
  virtual uint32_t reserved3(uint32_t) = 0;
  virtual uint32_t reserved4() = 0;
  virtual uint32_t get_count() = 0;
  virtual const char* get_item_name(uint32_t index, HostString* out) = 0;
  virtual bool get_display(uint32_t index, const void* context, HostString* out,
                           uint32_t* flags) = 0;
  virtual void perform(uint32_t index, const void* context) = 0;
  virtual bool reserved9(uint32_t, uint32_t) = 0;
  virtual uint32_t reserved10(uint32_t) = 0;
  virtual bool get_display_ex(uint32_t index, const void* context, HostString* out, uint32_t* flags,
                              const GUID* caller) = 0;
  virtual void perform_ex(uint32_t index, const void* context, const GUID* caller) = 0;
  virtual bool get_item_guid(uint32_t index, GUID* out) = 0;

 protected:
  ~MenuItemInterface() = default;
};

}  // namespace dwx
