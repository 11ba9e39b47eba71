// Registering slider windows and moving them all to a new level.
#include "backend/slider_registry.h"

#include <commctrl.h>

#include "diagnostics/notice_log.h"
#include "host/utf8api.h"
#include "text/format.h"
#include "text/system_error.h"

namespace dwx {

SliderRegistry::~SliderRegistry() { windows_.free_memory(); }

void SliderRegistry::add(HWND window) {
  LockGuard guard(lock_);
  // Only the heap can refuse, and the window then shows the level it was
  // created with and nothing after: the user should hear why.
  if (windows_.append(window) < 0) {
    Utf8String reason = system_error_text(ERROR_NOT_ENOUGH_MEMORY, nullptr);
    notice_log.warning(
        format_text("Volume slider will not follow volume changes - %s", reason.c_str()).c_str());
  }
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
