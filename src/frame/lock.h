// A re-entrant lock and its scope guard.
#pragma once

#include <windows.h>

namespace dwx {

// A critical section: the thread that holds it may take it again.
class RecursiveLock {
 public:
  enum class Wait {
    plain,
    // While waiting, take in messages other threads send to this thread's
    // windows. For a lock whose holder may SendMessage to the waiter's
    // windows: a plain wait would then leave both threads waiting for each
    // other for ever.
    taking_sent_messages,
  };

  explicit RecursiveLock(Wait wait = Wait::plain) : wait_(wait) {
    InitializeCriticalSection(&section_);
  }
  ~RecursiveLock() { DeleteCriticalSection(&section_); }
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void lock() {
    if (wait_ == Wait::plain) {
      EnterCriticalSection(&section_);
      return;
    }
    while (!TryEnterCriticalSection(&section_))
      take_sent_messages();
  }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  static void take_sent_messages() {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_SENDMESSAGE);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }

  CRITICAL_SECTION section_;
  Wait wait_;
};

class LockGuard {
 public:
  explicit LockGuard(RecursiveLock& lock) : lock_(lock) { lock_.lock(); }
  ~LockGuard() { lock_.unlock(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  RecursiveLock& lock_;
};

}  // namespace dwx
