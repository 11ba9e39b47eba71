// Queueing, flushing and the unload message box of the component's notices.
#include "diagnostics/notice_log.h"

#include <cstdlib>

#include "diagnostics/console.h"
#include "frame/component_state.h"
#include "host/utf8api.h"
#include "text/text_copy.h"
#include "text/utf8_string.h"

namespace dwx {

namespace {

struct Notice {
  char* text;  // null when the copy failed; reads as the empty string
  int32_t level;
};

Notice* make_notice(int32_t level, const char* text) {
  auto* notice = static_cast<Notice*>(malloc(sizeof(Notice)));
  if (notice == nullptr) return nullptr;
  notice->text = copy_text(text, unbounded);
  notice->level = level;
  return notice;
}

void destroy_notice(Notice* notice) {
  free_text(notice->text);
  free(notice);
}

const char* text_of(const Notice* notice) { return notice->text ? notice->text : ""; }

// Frees every notice and the array that held them.
void destroy_all(PointerList& notices) {
  const uint32_t count = notices.count();
  for (uint32_t i = 0; i < count; ++i)
    destroy_notice(static_cast<Notice*>(notices.at(i)));
  notices.remove_all();
}

const char* label_of(int32_t level) {
  switch (level) {
    case 1:
      return "info";
    case 2:
      return "warning";
    case 3:
      return "error";
    default:
      return "";
  }
}

}  // namespace

void NoticeLog::report(int32_t level, const char* text) {
  if (services_ready()) {
    flush();
    console_output(level, text);
    return;
  }
  LockGuard guard(lock_);
  Notice* notice = make_notice(level, text);
  if (notice == nullptr) return;  // out of memory: the notice is dropped
  if (queue_.append(notice) < 0) destroy_notice(notice);
}

void NoticeLog::flush() {
  LockGuard guard(lock_);
  // Take the notices out of the queue before printing: a console that reports
  // back into the component on this thread then finds an empty queue instead
  // of notices about to be freed.
  PointerList pending = queue_;
  queue_ = empty_pointer_list();
  const uint32_t count = pending.count();
  for (uint32_t i = 0; i < count; ++i) {
    const auto* notice = static_cast<const Notice*>(pending.at(i));
    if (notice->level >= 1 && notice->level <= 3) console_output(notice->level, text_of(notice));
  }
  destroy_all(pending);
}

void NoticeLog::discard() {
  LockGuard guard(lock_);
  destroy_all(queue_);
}

NoticeLog::~NoticeLog() {
  // Runs once, at library unload, when no other thread can be inside the
  // component any more: no lock is taken.
  if (queue_.count() > 0) {
    Utf8String text(GrowthMode::exact);
    for (uint32_t i = 0; i < queue_.count(); ++i) {
      const auto* notice = static_cast<const Notice*>(queue_.at(i));
      if (text.length() > 0) text.append("\n", unbounded);
      text.append(label_of(notice->level), unbounded);
      text.append(": ", unbounded);
      text.append(text_of(notice), unbounded);
    }
    if (text.length() > 0) uMessageBox(nullptr, text.c_str(), "DWX Volume notices", 0);
  }
  destroy_all(queue_);
}

}  // namespace dwx
