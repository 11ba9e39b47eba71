// Warnings and errors, queued until the host console is ready.
#pragma once

#include <cstdint>

#include "frame/lock.h"
#include "text/pointer_list.h"

namespace dwx {

// While the host's services are not ready, warnings and errors wait in a
// queue; once they are, each new one first flushes the queue. Whatever is
// still queued when the library unloads is shown in one message box.
// The lock is the innermost of the component: no other lock is taken under it.
class NoticeLog {
 public:
  NoticeLog() = default;
  // Unload: shows the remaining notices, then frees them.
  ~NoticeLog();
  NoticeLog(const NoticeLog&) = delete;
  NoticeLog& operator=(const NoticeLog&) = delete;

  void warning(const char* text) { report(2, text); }
  void error(const char* text) { report(3, text); }
  // Prints every queued notice in order and empties the queue, even when
  // there is no console to print on.
  void flush();
  // Empties the queue without printing.
  void discard();

 private:
  void report(int32_t level, const char* text);

  RecursiveLock lock_;
  PointerList queue_ = empty_pointer_list();  // owns its notices, oldest first
};

extern NoticeLog notice_log;

}  // namespace dwx
