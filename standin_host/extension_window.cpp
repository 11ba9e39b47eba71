// The layout's calls that need more than a slot: creating windows.
#include "standin_host/extension_window.h"

#include <commctrl.h>

namespace standin {

void init_common_controls() {
  const INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
}

HWND ExtensionWindowView::create_or_transfer(HWND parent, ExtensionHostObject* host,
                                             const void* third) {
  init_common_controls();
  return call<HWND>(extension_window::create_or_transfer_window, parent, host, third);
}

}  // namespace standin
