// Queueing, flushing and the unload message box of the component's notices.
#include "diagnostics/notice_log.h"

#include <cstdlib>
#include <new>
#include <utility>

#include "frame/component_state.h"
#include "host/utf8api.h"
#include "text/text_copy.h"
#include "text/utf8_string.h"

namespace dwx {

struct Notice {
  Notice(NoticeLevel notice_level, const char* notice_text) : level(notice_level) {
    text.assign(notice_text);
  }
  // From the process heap like all the component's memory, and null rather
  // than an exception when the heap has no room.
  static void* operator new(size_t bytes, const std::nothrow_t&) noexcept {
    return std::malloc(bytes);
  }
  static void operator delete(void* memory) { std::free(memory); }

  OwnedText text;  // none when the copy failed
  NoticeLevel level;
};

void NoticeQueue::push(NoticeLevel level, const char* text) {
  Notice* notice = new (std::nothrow) Notice(level, text);
  if (notice == nullptr) return;
  if (notices_.append(notice) < 0) delete notice;
}

NoticeLevel NoticeQueue::level(uint32_t index) const { return notices_.at(index)->level; }

const char* NoticeQueue::text(uint32_t index) const { return notices_.at(index)->text.get(); }

void NoticeQueue::clear() {
  const uint32_t count = notices_.count();
  for (uint32_t i = 0; i < count; ++i)
    delete notices_.at(i);
  notices_.remove_all();
}

namespace {

const char* label_of(NoticeLevel level) {
  switch (level) {
    case NoticeLevel::info:
      return "info";
    case NoticeLevel::warning:
      return "warning";
    case NoticeLevel::error:
      return "error";
  }
  return "";
}

}  // namespace

void NoticeLog::report(NoticeLevel level, const char* text) {
  if (services_ready()) {
    flush();
    console_output(level, text);
    return;
  }
  LockGuard guard(lock_);
  queue_.push(level, text);  // out of memory: the notice is dropped
}

void NoticeLog::flush() {
  LockGuard guard(lock_);
  // Take the notices out of the queue before printing: a console that reports
  // back into the component on this thread then finds an empty queue instead
  // of notices about to be freed. They are freed, still under the lock, when
  // `pending` goes.
  const NoticeQueue pending(std::move(queue_));
  const uint32_t count = pending.count();
  for (uint32_t i = 0; i < count; ++i)
    console_output(pending.level(i), pending.text(i));
}

void NoticeLog::discard() {
  LockGuard guard(lock_);
  queue_.clear();
}

NoticeLog::~NoticeLog() {
  // Runs once, at library unload, when no other thread can be inside the
  // component any more: no lock is taken. When the process is ending, its
  // other threads are gone and user32 may be partly torn down: a box could
  // hold the end for ever, and nobody may be there to close it.
  if (queue_.count() == 0 || process_ending()) return;
  Utf8String text(GrowthMode::exact);
  for (uint32_t i = 0; i < queue_.count(); ++i) {
    if (text.length() > 0) text.append("\n", unbounded);
    text.append(label_of(queue_.level(i)), unbounded);
    text.append(": ", unbounded);
    text.append(queue_.text(i), unbounded);
  }
  if (text.length() > 0) uMessageBox(nullptr, text.c_str(), "DWX Volume notices", 0);
}

}  // namespace dwx
