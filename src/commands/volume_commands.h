// The volume up, down and mute commands offered in the host's menus.
#pragma once

#include "host/component_api.h"
#include "frame/service_factory.h"

namespace dwx {

// Acts on whatever target the backend has selected. The commands never
// broadcast: the sliders follow the target's own change notification.
class VolumeCommands final : public StaticService<MenuItemInterface> {
 public:
  static constexpr uint32_t command_count = 3;

  // Answers for the menu-item class and the host's newer menu interface.
  void* query(const GUID* class_guid) override;

  uint32_t reserved3(uint32_t) override { return 0; }
  uint32_t reserved4() override { return 0; }
  uint32_t get_count() override { return command_count; }
  const char* get_item_name(uint32_t index, HostString* out) override;
  bool get_display(uint32_t index, const void* context, HostString* out, uint32_t* flags) override;
  void perform(uint32_t index, const void* context) override;
  bool reserved9(uint32_t, uint32_t) override { return false; }
  uint32_t reserved10(uint32_t) override { return 0; }
  bool get_display_ex(uint32_t index, const void* context, HostString* out, uint32_t* flags,
                      const GUID* caller) override;
  void perform_ex(uint32_t index, const void* context, const GUID* caller) override;
  bool get_item_guid(uint32_t index, GUID* out) override;
};

}  // namespace dwx
