// The list of the component's own windows, and letting go of them at unload.
#include "frame/own_windows.h"

#include "frame/component_state.h"
#include "frame/window_class.h"

namespace dwx {

OwnWindows::~OwnWindows() {
  // At the end of the process the windows go with it.
  if (process_ending()) return;
  // One at a time, outside the lock: a window destroyed here runs its own
  // clean-up, which comes back to remove it.
  Entry entry;
  while (take_last(&entry)) {
    if (entry.let_go != nullptr) {
      entry.let_go(entry.owner);
    } else {
      let_go_of_window(entry.window);
    }
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

bool OwnWindows::take_last(Entry* entry) {
  LockGuard guard(lock_);
  const uint32_t count = entries_.size() / sizeof(Entry);
  if (count == 0) return false;
  *entry = reinterpret_cast<Entry*>(entries_.data())[count - 1];
  entries_.set_size((count - 1) * sizeof(Entry));
  return true;
}

}  // namespace dwx
