// Registering slider windows and moving them all to a new level.
#include "backend/slider_registry.h"

#include <commctrl.h>

#include "host/utf8api.h"

namespace dwx {

SliderRegistry::~SliderRegistry() { windows_.free_memory(); }

void SliderRegistry::add(HWND window) {
  LockGuard guard(lock_);
  windows_.append(window);
}

void SliderRegistry::remove(HWND window) {
  LockGuard guard(lock_);
  windows_.remove(window);
}

void SliderRegistry::broadcast(VolumeLevel level) {
  LockGuard guard(lock_);
  const uint32_t count = windows_.count();
  for (uint32_t i = 0; i < count; ++i) {
    uSendMessage(static_cast<HWND>(windows_.at(i)), TBM_SETPOS, TRUE, level);
  }
}

}  // namespace dwx
