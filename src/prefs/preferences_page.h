// The preferences page where the user picks the volume target.
#pragma once

#include <windows.h>

#include "frame/service_factory.h"
#include "host/component_api.h"

namespace dwx {

// Keeps no state of its own: the choice lives in mixer_id and mixer_control,
// and every change reopens the backend at once. The host owns the page
// window once create_page has returned it.
class VolumePrefsPage final : public StaticService<PreferencesPageInterface> {
 public:
  HWND create_page(HWND parent) override;
  const char* get_page_name() override { return "Volume control toolbar"; }
  const char* get_parent_name() override { return "Components"; }
};

}  // namespace dwx
