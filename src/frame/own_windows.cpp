// The list of the component's own windows, and letting go of them at unload.
#include "frame/own_windows.h"

#include "frame/component_state.h"
#include "frame/window_class.h"

namespace dwx {

OwnWindows::~OwnWindows() {
  // At the end of the process the windows go with it.
  if (process_ending()) return;
  // The newest first, one at a time and outside the lock: a window destroyed
  // here runs its own clean-up, which comes back here.
  for (;;) {
    Entry entry;
    {
      LockGuard guard(lock_);
      const uint32_t count = entries_.size() / sizeof(Entry);
      if (count == 0) return;
      entry = reinterpret_cast<const Entry*>(entries_.data())[count - 1];
    }
    if (entry.let_go != nullptr) {
      entry.let_go(entry.owner);
    } else {
      let_go_of_window(entry.window);
    }
    remove(entry.window);  // for a window its end does not reach here
  }
}

bool OwnWindows::add(HWND window, void* owner, LetGoOfOwned let_go) {
  const Entry entry = {window, owner, let_go};
  LockGuard guard(lock_);
  return entries_.append(&entry, sizeof entry) != nullptr;
}

void OwnWindows::remove(HWND window) {
  LockGuard guard(lock_);
  auto* list = reinterpret_cast<Entry*>(entries_.data());
  const uint32_t count = entries_.size() / sizeof(Entry);
  uint32_t kept = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (list[i].window != window) list[kept++] = list[i];
  }
  if (kept != count) entries_.set_size(kept * sizeof(Entry));  // a shrink: cannot fail
}

}  // namespace dwx
