// Registering slider windows and moving them all to a new level.
#include "backend/slider_registry.h"

#include <commctrl.h>

#include "diagnostics/notice_log.h"
#include "host/utf8api.h"
#include "text/format.h"
#include "text/system_error.h"

namespace dwx {

void SliderRegistry::add(HWND window) {
  const Entry entry = {window, GetWindowThreadProcessId(window, nullptr)};
  {
    LockGuard guard(lock_);
    if (entries_.append(&entry, sizeof entry) != nullptr) return;
    for (Entry& spare : spares_) {
      if (spare.window != nullptr) continue;
      spare = entry;
      return;
    }
  }
  // The heap refused and the spares are taken: the window shows the level it
  // was created with and nothing after, and the user should hear why. Told
  // once the lock is free: the console may take the host's lock, under which
  // the host's own thread may be waiting for this one to broadcast.
  Utf8String reason = system_error_text(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  notice_log.warning(
      format_text("Volume slider will not follow volume changes - %s", reason.c_str()).c_str());
}

void SliderRegistry::remove(HWND window) {
  LockGuard guard(lock_);
  const uint32_t old_count = count();
  Entry* list = entries();
  uint32_t kept = 0;
  for (uint32_t i = 0; i < old_count; ++i) {
    if (list[i].window != window) list[kept++] = list[i];
  }
  if (kept != old_count) entries_.set_size(kept * sizeof(Entry));  // a shrink: cannot fail
  for (Entry& spare : spares_) {
    if (spare.window == window) spare = Entry{};
  }
}

void SliderRegistry::send_update(Entry entry, DWORD this_thread, VolumeLevel level,
                                 uint32_t update) {
  if (entry.thread == this_thread) {
    uSendMessage(entry.window, TBM_SETPOS, TRUE, level);
  } else {
    SendNotifyMessageW(entry.window, slider_update_message, update, 0);
  }
}

void SliderRegistry::broadcast(VolumeLevel level) {
  LockGuard guard(lock_);
  // Every broadcast is a new update, those sent synchronously too: an update
  // still queued from an earlier one must not undo them.
  last_level_.store(level);
  const uint32_t update = last_update_.fetch_add(1) + 1;
  const DWORD this_thread = GetCurrentThreadId();
  // A window's answer may broadcast again on this thread: the outer
  // broadcast is still delivering when that one ends.
  const DWORD outer = delivering_.exchange(this_thread);
  // The list is read afresh at each step: a window's answer may add or
  // remove a slider on this thread, under this same lock.
  for (uint32_t i = 0; i < count(); ++i)
    send_update(entries()[i], this_thread, level, update);
  for (const Entry& spare : spares_) {
    if (spare.window != nullptr) send_update(spare, this_thread, level, update);
  }
  delivering_.store(outer);
}

void SliderRegistry::broadcast_unless_overtaken(VolumeLevel level, uint32_t seen) {
  LockGuard guard(lock_);
  if (last_update_.load() == seen) broadcast(level);
}

bool SliderRegistry::broadcast_since(uint32_t seen, VolumeLevel* level) const {
  if (last_update_.load() == seen) return false;
  *level = last_level_.load();
  return true;
}

void SliderRegistry::take_update(HWND window, WPARAM update) {
  if (static_cast<uint32_t>(update) != last_update_.load()) return;  // a newer one follows
  uSendMessage(window, TBM_SETPOS, TRUE, last_level_.load());
}

}  // namespace dwx
