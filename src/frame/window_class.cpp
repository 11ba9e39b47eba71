// Registering a window class for as long as it has users.
#include "frame/window_class.h"

#include "frame/component_state.h"
#include "text/pointer_list.h"

namespace dwx {

namespace {

bool in_this_library(LONG_PTR address) {
  HMODULE owner = nullptr;
  return GetModuleHandleExW(
             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
             reinterpret_cast<LPCWSTR>(address), &owner) &&
         owner == module_instance();
}

// Gives the window a procedure outside this library. Read and written in the
// window's own character set, so that the values are real addresses.
BOOL CALLBACK unhook_window(HWND window, LPARAM) {
  const bool wide = IsWindowUnicode(window) != FALSE;
  const LONG_PTR procedure =
      wide ? GetWindowLongPtrW(window, GWLP_WNDPROC) : GetWindowLongPtrA(window, GWLP_WNDPROC);
  if (!in_this_library(procedure)) return TRUE;
  LONG_PTR replacement =
      wide ? GetClassLongPtrW(window, GCLP_WNDPROC) : GetClassLongPtrA(window, GCLP_WNDPROC);
  if (in_this_library(replacement)) {
    replacement = wide ? reinterpret_cast<LONG_PTR>(&DefWindowProcW)
                       : reinterpret_cast<LONG_PTR>(&DefWindowProcA);
  }
  if (wide) {
    SetWindowLongPtrW(window, GWLP_WNDPROC, replacement);
  } else {
    SetWindowLongPtrA(window, GWLP_WNDPROC, replacement);
  }
  return TRUE;
}

struct ClassSearch {
  ATOM atom;
  PointerListOf<HWND> found;
};

BOOL CALLBACK collect_if_of_class(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ClassSearch*>(context);
  if (GetClassWord(window, GCW_ATOM) == search->atom) search->found.append(window);
  return TRUE;
}

// Top-level windows of the whole desktop: this process's are searched, with
// all their descendants.
BOOL CALLBACK search_top_level(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  collect_if_of_class(window, context);
  EnumChildWindows(window, collect_if_of_class, context);
  return TRUE;
}

}  // namespace

bool let_go_of_window(HWND window) {
  if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
    DestroyWindow(window);
    return true;
  }
  unhook_window(window, 0);
  EnumChildWindows(window, unhook_window, 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  return false;
}

WindowClassRef::~WindowClassRef() {
  if (!process_ending()) unregister();
}

void WindowClassRef::let_go_of_windows() {
  const ATOM atom = atom_.load();
  if (atom == 0 || process_ending()) return;
  // Collected first: destroying windows while the system enumerates them
  // would change the list under it.
  ClassSearch search{atom, {}};
  EnumWindows(search_top_level, reinterpret_cast<LPARAM>(&search));
  for (uint32_t i = 0; i < search.found.count(); ++i) {
    const HWND window = search.found.at(i);
    if (IsWindow(window)) let_go_of_window(window);
  }
}

ATOM WindowClassRef::acquire() {
  if (count_.fetch_add(1) + 1 == 1 && atom_.load() == 0) {
    WNDCLASSA description = {};
    description.lpfnWndProc = procedure_;
    description.hInstance = module_instance();
    description.hCursor = uLoadCursor(nullptr, reinterpret_cast<const char*>(IDC_ARROW));
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = class_name_;
    ATOM atom = uRegisterClass(&description);
    // An earlier load of this library at the same address may have left the
    // class behind, kept by windows of another thread that have gone since:
    // that registration names code no longer there, so it is replaced.
    if (atom == 0 && GetLastError() == ERROR_CLASS_ALREADY_EXISTS) {
      if (uUnregisterClass(class_name_, module_instance())) {
        atom = uRegisterClass(&description);
      } else {
        SetLastError(ERROR_CLASS_ALREADY_EXISTS);  // still the reason to report
      }
    }
    atom_.store(atom);
    if (atom == 0) count_.store(0);
  }
  return atom_.load();
}

void WindowClassRef::release() {
  if (count_.fetch_sub(1) - 1 == 0) unregister();
}

void WindowClassRef::unregister() {
  const ATOM atom = atom_.load();
  if (atom == 0) return;
  // Refused while a window of the class still exists: the registration is
  // kept for the next acquire, or for the next try.
  if (uUnregisterClass(MAKEINTATOM(atom), module_instance())) atom_.store(0);
}

}  // namespace dwx
