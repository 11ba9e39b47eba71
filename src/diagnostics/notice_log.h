// Warnings and errors, queued until the host console is ready.
#pragma once

#include <cstdint>

#include "diagnostics/console.h"
#include "frame/lock.h"
#include "text/pointer_list.h"

namespace dwx {

struct Notice;

// Notices, oldest first. The queue owns them: whatever it drops, and
// whatever it still holds when it goes, is freed. Moving a queue hands its
// notices over and leaves it empty.
class NoticeQueue {
 public:
  constexpr NoticeQueue() = default;
  ~NoticeQueue() { clear(); }
  NoticeQueue(NoticeQueue&& other) noexcept = default;
  NoticeQueue& operator=(NoticeQueue&&) = delete;

  // Appends a notice holding a copy of the text. When the heap has no room
  // for the notice, or for the queue's entry, nothing is queued; when it has
  // none for the copy, the notice has no text.
  void push(NoticeLevel level, const char* text);
  uint32_t count() const { return notices_.count(); }
  NoticeLevel level(uint32_t index) const;
  // The empty string for a notice without text.
  const char* text(uint32_t index) const;
  // Frees every notice and the array that held them.
  void clear();

 private:
  PointerListOf<Notice*> notices_;
};

// While the host's services are not ready, warnings and errors wait in a
// queue; once they are, each new one first flushes the queue. Whatever is
// still queued when the library unloads is shown in one message box.
// The lock is the innermost of the component: no other lock is taken under it.
class NoticeLog {
 public:
  NoticeLog() = default;
  // Unload: shows the remaining notices, then frees them. At the end of the
  // process they are only freed.
  ~NoticeLog();
  NoticeLog(const NoticeLog&) = delete;
  NoticeLog& operator=(const NoticeLog&) = delete;

  void warning(const char* text) { report(NoticeLevel::warning, text); }
  void error(const char* text) { report(NoticeLevel::error, text); }
  // Prints every queued notice in order and empties the queue, even when
  // there is no console to print on.
  void flush();
  // Empties the queue without printing.
  void discard();

 private:
  void report(NoticeLevel level, const char* text);

  // Unload frees the notices before the lock goes.
  RecursiveLock lock_;
  NoticeQueue queue_;
};

extern NoticeLog notice_log;

}  // namespace dwx
