// Registering a window class for as long as it has users.
#include "frame/window_class.h"

#include "frame/component_state.h"

namespace dwx {

WindowClassRef::~WindowClassRef() {
  if (count_.load() != 0) unregister();
}

ATOM WindowClassRef::acquire() {
  if (count_.fetch_add(1) + 1 == 1) {
    WNDCLASSA description = {};
    description.lpfnWndProc = procedure_;
    description.hInstance = module_instance();
    description.hCursor = uLoadCursor(nullptr, reinterpret_cast<const char*>(IDC_ARROW));
    description.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    description.lpszClassName = class_name_;
    const ATOM atom = uRegisterClass(&description);
    atom_.store(atom);
    if (atom == 0) count_.store(0);
  }
  return atom_.load();
}

void WindowClassRef::release() {
  if (count_.fetch_sub(1) - 1 == 0) unregister();
}

void WindowClassRef::unregister() {
  const ATOM atom = atom_.exchange(0);
  if (atom != 0) uUnregisterClass(MAKEINTATOM(atom), module_instance());
}

}  // namespace dwx
