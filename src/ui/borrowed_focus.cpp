// Giving back a borrowed focus: it goes back where it came from, or to the host.
#include "ui/borrowed_focus.h"

#include "frame/component_state.h"

namespace dwx {

void restore_focus(HWND previous) {
  if (IsWindow(previous)) {
    SetFocus(previous);
    return;
  }
  if (HostApi* host = host_api()) SetFocus(host->main_window());
}

void restore_focus_later(HWND previous, HWND borrower) {
  HWND target = previous;
  if (!IsWindow(target)) {
    HostApi* host = host_api();
    target = host != nullptr ? host->main_window() : nullptr;
  }
  // Only a window of the borrower's thread can take that thread's focus.
  if (target == nullptr ||
      GetWindowThreadProcessId(target, nullptr) != GetWindowThreadProcessId(borrower, nullptr)) {
    return;
  }
  PostMessageW(target, WM_ACTIVATE, WA_ACTIVE, 0);
}

}  // namespace dwx
