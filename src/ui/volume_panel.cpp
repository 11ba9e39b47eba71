// The panel's host window: what it does apart from the toolbar's, that is
// forwarding the registry's levels to its trackbar turned over, and Escape;
// and the trackbar's subclass, which answers assistive technology.
#include "ui/volume_panel.h"

#include "backend/slider_registry.h"
#include "ui/accessible_slider.h"
#include "ui/borrowed_focus.h"
#include "ui/counted_window.h"
#include "ui/level_announcement.h"

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
    case slider_update_message: {
      const ThumbWatch watch(trackbar_, own_procedure(trackbar_));
      slider_registry.take_update(window, wparam);
      watch.announce_if_moved(false);
      return 0;
    }
    case TBM_SETPOS: {
      // A registry broadcast, or anyone else: the trackbar answers. Only a
      // broadcast's level is news.
      if (trackbar_ == nullptr) break;
      const bool news = slider_registry.delivering_here();
      const ThumbWatch watch(news ? trackbar_ : nullptr, news ? own_procedure(trackbar_) : nullptr);
      const LRESULT result = uSendMessage(trackbar_, TBM_SETPOS, wparam,
                                          Vertical::position_of(static_cast<int32_t>(lparam)));
      watch.announce_if_moved(true);
      return result;
    }
  }
  return handle_slider_message(window, message, wparam, lparam);
}

void VolumePanel::before_registering() {
  // The trackbar's own procedure goes into its user data before the subclass
  // takes its place, so that no message finds it missing. A subclass that
  // could not find it would leave the trackbar dead: without one the
  // trackbar is the system's own, with no accessible object of ours.
  const LONG_PTR own = uGetWindowLong(trackbar_, GWLP_WNDPROC);
  uSetWindowLong(trackbar_, GWLP_USERDATA, own);
  if (own == 0 || uGetWindowLong(trackbar_, GWLP_USERDATA) != own) return;
  uSetWindowLong(trackbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trackbar_procedure));
}

LRESULT CALLBACK VolumePanel::trackbar_procedure(HWND trackbar, UINT message, WPARAM wparam,
                                                 LPARAM lparam) {
  LRESULT result;
  if (handle_accessibility_message(trackbar, message, wparam, lparam, &result)) return result;
  return uCallWindowProc(own_procedure(trackbar), trackbar, message, wparam, lparam);
}

}  // namespace dwx
