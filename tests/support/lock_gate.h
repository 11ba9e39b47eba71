// Making two threads meet at a module's locks in the order a race needs, every time.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "support/import_table.h"

namespace testing_support {

// While it lives, the module's EnterCriticalSection import goes through a
// gate: a thread can be stopped before the next lock it takes, holding
// whatever it holds then, until the test opens the gate again. One at a
// time.
class LockGate {
 public:
  explicit LockGate(HMODULE module);
  ~LockGate();

  bool applied() const { return patch_.applied(); }

  // `thread` stops at the next lock it takes in the module, before taking
  // it, runs at_stop there, and goes on once open() is called. 0: none.
  void stop_next_lock_of(DWORD thread);
  // True once the thread has stopped there; false after `milliseconds`.
  bool wait_until_stopped(DWORD milliseconds);
  void open();

  // Runs on the stopped thread, once it has stopped.
  std::function<void()> at_stop;

 private:
  friend struct LockGateEntry;
  ImportPatch patch_;
  std::atomic<DWORD> stopping_{0};
  HANDLE stopped_;
  HANDLE opened_;
};

}  // namespace testing_support
