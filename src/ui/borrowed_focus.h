// Giving back the keyboard focus a slider borrowed.
#pragma once

#include <windows.h>

namespace dwx {

// Focuses `previous` if it still exists, otherwise the host's main window.
void restore_focus(HWND previous);

// The same from another thread than the borrower's, which holds the focus
// there. That thread's focus cannot be set from here without waiting for
// it, and it may be waiting for this one: the window is told it is active
// instead, and the system's default handling of that, on its own thread,
// focuses it.
void restore_focus_later(HWND previous, HWND borrower);

}  // namespace dwx
