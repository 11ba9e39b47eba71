// The toolbar's host window: what it does apart from the panel's, that is
// subclassing the trackbar it registers, its minimum height, and ending a
// drag by Escape or by the window's end.
#include "ui/volume_toolbar.h"

#include "ui/borrowed_focus.h"
#include "ui/counted_window.h"

namespace dwx {

const ExtensionDescription VolumeToolbar::description = {toolbar_extension_guid, "Volume control",
                                                         "Toolbars", extension_type_toolbar};

// Twelve pointer-sized words (48 bytes on 32-bit): the table, eleven fields
// (the drag flag padded) and the count.
static_assert(sizeof(CountedWindow<VolumeToolbar>) == 12 * sizeof(void*),
              "the framework's toolbar object");
static_assert(sizeof(std::atomic<HWND>) == sizeof(HWND), "a plain window handle in memory");

namespace {

// Low enough for a toolbar row, high enough for the thumb.
constexpr LONG minimum_height = 20;

}  // namespace

LRESULT VolumeToolbar::handle_host_message(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      on_destroy();
      break;  // the trackbar goes next
    case WM_GETMINMAXINFO:
      if (trackbar_ != nullptr) {
        reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize.y = minimum_height;
      }
      break;
    case WM_KEYDOWN:
      if (wparam != VK_ESCAPE) break;
      // Without a drag this only gives the focus back.
      end_drag();
      return 0;
    // The registry's, when it holds this window: the trackbar has no
    // subclass to take them.
    case slider_update_message:
      slider_registry.take_update(trackbar_, wparam);
      return 0;
    case TBM_SETPOS:
      if (trackbar_ == nullptr) break;
      return uSendMessage(trackbar_, message, wparam, lparam);
  }
  return handle_slider_message(window, message, wparam, lparam);
}

void VolumeToolbar::before_registering() {
  // Before the trackbar joins the registry: every broadcast that reaches it
  // finds the subclass in place, and whether the subclass took decides
  // what the registry holds (registry_entry). The subclass stays on the
  // trackbar until it is destroyed; its last messages go through it to the
  // trackbar's own procedure.
  const auto self = reinterpret_cast<LONG_PTR>(this);
  uSetWindowLong(trackbar_, GWLP_USERDATA, self);
  // A subclass that could not find this object would leave the trackbar
  // dead. Without it the trackbar is the system's own, which still sets the
  // volume through the host window's scroll messages.
  if (uGetWindowLong(trackbar_, GWLP_USERDATA) != self) return;
  previous_procedure_ = reinterpret_cast<WNDPROC>(
      uSetWindowLong(trackbar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&trackbar_procedure)));
}

void VolumeToolbar::let_go_elsewhere(HWND window) {
  // A drag cut short there: its tooltip is owned by the player's main
  // window, not by the host window, and would outlive the host window's
  // closing, so it is asked to close too; the focus the drag borrowed goes
  // back before the host window closes. The capture goes with the trackbar.
  tooltip_.hide();
  if (dragging_) restore_focus_later(previous_focus_, window);
  dragging_ = false;
  SliderHost::let_go_elsewhere(window);
}

void VolumeToolbar::on_destroy() {
  // A drag the window's end cuts short. The tooltip goes with the window
  // (see TrackingTooltip): nothing may reach it from here on, and the next
  // window starts idle.
  tooltip_.hide();
  if (!dragging_) return;
  dragging_ = false;
  if (trackbar_ != nullptr && GetCapture() == trackbar_) ReleaseCapture();
  // The focus borrowed for the drag goes back, as Escape gives it back:
  // otherwise the player is left with no keyboard focus at all.
  restore_focus(previous_focus_);
}

}  // namespace dwx
