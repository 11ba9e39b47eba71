// Window classes of this program.
#include "standin_host/window_class.h"

namespace standin {

LRESULT CALLBACK owned_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* owner = reinterpret_cast<WindowOwner*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (owner == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  const LRESULT result = owner->handle_message(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) disown_window(window);
  return result;
}

void register_window_class(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  RegisterClassW(&window_class);
}

void disown_window(HWND window) { SetWindowLongPtrW(window, GWLP_USERDATA, 0); }

}  // namespace standin
