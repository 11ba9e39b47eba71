// Creating and sizing the sliders' trackbars.
#include "ui/trackbar.h"

#include "frame/component_state.h"

namespace dwx {

HWND create_trackbar(HWND parent, DWORD style, int width, int height) {
  return uCreateWindowEx(0, "msctls_trackbar32", nullptr, style, 0, 0, width, height, parent,
                         nullptr, module_instance(), nullptr);
}

void fit_trackbar(HWND trackbar, LPARAM client_size) {
  SetWindowPos(trackbar, nullptr, 0, 0, LOWORD(client_size), HIWORD(client_size), SWP_NOZORDER);
}

}  // namespace dwx
