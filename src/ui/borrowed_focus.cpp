// restore_focus: the focus goes back where it came from, or to the host.
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

}  // namespace dwx
