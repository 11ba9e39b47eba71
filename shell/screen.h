// Sizes and positions on the screens there are now.
#pragma once

#include <windows.h>

namespace shell {

// The rectangle moved (and shrunk if it must be) onto the work area of the
// monitor nearest to it: a window saved on a monitor since removed opens
// where it can be seen.
RECT fit_on_screen(const RECT& rect);

// The dots per inch of the monitor `window` is on (96 before there is a window).
int dpi_of(HWND window);
// A size in pixels at 96 DPI, at `dpi`.
inline int scaled(int pixels, int dpi) { return MulDiv(pixels, dpi, 96); }

}  // namespace shell
