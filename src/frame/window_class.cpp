// Registering a window class for as long as it has users.
#include "frame/window_class.h"

#include "frame/component_state.h"

namespace dwx {

namespace {

bool in_this_library(LONG_PTR address) {
  HMODULE owner = nullptr;
  return GetModuleHandleExW(
             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
             reinterpret_cast<LPCWSTR>(address), &owner) &&
         owner == module_instance();
}

// Atom of the system's dialog class.
constexpr ATOM dialog_class = 0x8002;

LONG_PTR default_procedure(bool wide) {
  return wide ? reinterpret_cast<LONG_PTR>(&DefWindowProcW)
              : reinterpret_cast<LONG_PTR>(&DefWindowProcA);
}

// Read and written in the window's own character set, so that procedures
// read back as their real addresses.
LONG_PTR get_long(HWND window, int index, bool wide) {
  return wide ? GetWindowLongPtrW(window, index) : GetWindowLongPtrA(window, index);
}
void set_long(HWND window, int index, LONG_PTR value, bool wide) {
  if (wide) {
    SetWindowLongPtrW(window, index, value);
  } else {
    SetWindowLongPtrA(window, index, value);
  }
}

// Gives the window procedures outside this library.
BOOL CALLBACK unhook_window(HWND window, LPARAM) {
  const bool wide = IsWindowUnicode(window) != FALSE;
  // A dialog's window procedure is the system's, which calls the dialog
  // procedure it keeps in DWLP_DLGPROC. Without that one the system's would
  // still not close the dialog on WM_CLOSE (it turns that into IDCANCEL), so
  // the dialog gets the plain default window procedure.
  if (GetClassWord(window, GCW_ATOM) == dialog_class &&
      in_this_library(get_long(window, DWLP_DLGPROC, wide))) {
    set_long(window, DWLP_DLGPROC, 0, wide);
    set_long(window, GWLP_WNDPROC, default_procedure(wide), wide);
    return TRUE;
  }
  if (!in_this_library(get_long(window, GWLP_WNDPROC, wide))) return TRUE;
  LONG_PTR replacement =
      wide ? GetClassLongPtrW(window, GCLP_WNDPROC) : GetClassLongPtrA(window, GCLP_WNDPROC);
  if (in_this_library(replacement)) replacement = default_procedure(wide);
  set_long(window, GWLP_WNDPROC, replacement, wide);
  return TRUE;
}

struct ClassSearch {
  ATOM atom;
  HWND found;
};

BOOL CALLBACK stop_at_class(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<ClassSearch*>(context);
  if (GetClassWord(window, GCW_ATOM) != search->atom) return TRUE;
  search->found = window;
  return FALSE;
}

// Top-level windows of the whole desktop: this process's are searched, with
// all their descendants.
BOOL CALLBACK search_top_level(HWND window, LPARAM context) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId()) return TRUE;
  if (!stop_at_class(window, context)) return FALSE;
  EnumChildWindows(window, stop_at_class, context);
  return reinterpret_cast<ClassSearch*>(context)->found == nullptr;
}

}  // namespace

bool on_this_thread(HWND window) {
  return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool let_go_of_window(HWND window) {
  if (on_this_thread(window)) {
    DestroyWindow(window);
    return true;
  }
  unhook_window(window, 0);
  EnumChildWindows(window, unhook_window, 0);
  PostMessageW(window, WM_CLOSE, 0, 0);
  return false;
}

WindowClassRef::~WindowClassRef() {
  if (process_ending()) return;
  unregister();
  const ATOM atom = atom_.load();
  if (atom == 0) return;
  // A window of another thread, let go of and not yet closed, still holds
  // the class: neither its last messages nor a window someone makes of the
  // class later may reach code that is about to go.
  ClassSearch search{atom, nullptr};
  EnumWindows(search_top_level, reinterpret_cast<LPARAM>(&search));
  if (search.found != nullptr) {
    SetClassLongPtrW(search.found, GCLP_WNDPROC, default_procedure(true));
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
