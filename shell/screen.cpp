// Sizes and positions on the screens there are now.
#include "shell/screen.h"

#include <algorithm>

namespace shell {

namespace {

MONITORINFO monitor_nearest(const RECT& rect) {
  MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
  GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
  return monitor;
}

// The rectangle moved (and shrunk if it must be) into `area`, both in the
// same coordinates.
RECT fit_in(const RECT& rect, const RECT& area) {
  const LONG width = std::min(rect.right - rect.left, area.right - area.left);
  const LONG height = std::min(rect.bottom - rect.top, area.bottom - area.top);
  const LONG left = std::max(area.left, std::min(rect.left, area.right - width));
  const LONG top = std::max(area.top, std::min(rect.top, area.bottom - height));
  return RECT{left, top, left + width, top + height};
}

}  // namespace

RECT fit_on_screen(const RECT& rect) { return fit_in(rect, monitor_nearest(rect).rcWork); }

RECT fit_normal_position(const RECT& rect, const RECT& monitor, const RECT& work) {
  // Workspace coordinates start at the work area's top left, not the
  // monitor's: with a taskbar at the top or left they are the screen's moved
  // by its size. The work area is taken into them, and the fit made there.
  RECT workspace = work;
  OffsetRect(&workspace, monitor.left - work.left, monitor.top - work.top);
  return fit_in(rect, workspace);
}

RECT fit_normal_position(const RECT& rect) {
  const MONITORINFO monitor = monitor_nearest(rect);
  return fit_normal_position(rect, monitor.rcMonitor, monitor.rcWork);
}

int dpi_of(HWND window) {
  // Windows 10 and later know each monitor's; before, the system's.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (window != nullptr && get_dpi_for_window != nullptr) {
    const UINT dpi = get_dpi_for_window(window);
    if (dpi != 0) return static_cast<int>(dpi);
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace shell
