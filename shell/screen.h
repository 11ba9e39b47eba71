// Sizes and positions on the screens there are now.
#pragma once

#include <windows.h>

namespace shell {

// A rectangle in screen coordinates (a floating frame, a dialog) moved (and
// shrunk if it must be) into the work area of the monitor nearest to it: a
// window saved on a monitor since removed opens where it can be seen.
RECT fit_on_screen(const RECT& rect);

// A main window's normal position as WINDOWPLACEMENT holds it, in workspace
// coordinates, fitted into the work area `work` of the monitor whose whole
// area is `monitor` (both in screen coordinates). The result is in workspace
// coordinates too.
RECT fit_normal_position(const RECT& rect, const RECT& monitor, const RECT& work);
// The same on the monitor nearest to it.
RECT fit_normal_position(const RECT& rect);

// WM_DPICHANGED, Windows 8.1 and later: a top-level window moved to a monitor
// of another DPI; wParam's high word is the new DPI, lParam the rectangle
// Windows suggests for it there.
constexpr UINT message_dpi_changed = 0x02E0;

// The dots per inch of the monitor `window` is on (96 before there is a window).
int dpi_of(HWND window);
// A size in pixels at 96 DPI, at `dpi`.
inline int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

}  // namespace shell
