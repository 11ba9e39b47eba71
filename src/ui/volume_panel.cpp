// The panel's host window: what it does apart from the toolbar's, that is
// forwarding the registry's levels to its trackbar turned over, and Escape.
#include "ui/volume_panel.h"

#include "backend/slider_registry.h"
#include "ui/borrowed_focus.h"
#include "ui/counted_window.h"

namespace dwx {

const ExtensionDescription VolumePanel::description = {
    panel_extension_guid, "Volume control (vertical)", "Panels", extension_type_panel};

// Six pointer-sized words (24 bytes on 32-bit): the table, four fields and the count.
static_assert(sizeof(CountedWindow<VolumePanel>) == 6 * sizeof(void*),
              "the framework's panel object");

LRESULT VolumePanel::handle_host_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      if (wparam != VK_ESCAPE) break;
      // Ends a thumb drag of the trackbar's own, and gives the focus back.
      if (trackbar_ != nullptr && GetCapture() == trackbar_) ReleaseCapture();
      restore_focus(previous_focus_);
      return 0;
    case slider_update_message:
      slider_registry.take_update(window, wparam);
      return 0;
    case TBM_SETPOS:
      // A registry broadcast, or anyone else: the trackbar answers.
      if (trackbar_ == nullptr) break;
      return uSendMessage(trackbar_, TBM_SETPOS, wparam,
                          Vertical::position_of(static_cast<int32_t>(lparam)));
  }
  return handle_slider_message(window, message, wparam, lparam);
}

}  // namespace dwx
