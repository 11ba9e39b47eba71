// Giving back the keyboard focus a slider borrowed.
#pragma once

#include <windows.h>

namespace dwx {

// Focuses `previous` if it still exists, otherwise the host's main window.
void restore_focus(HWND previous);

}  // namespace dwx
