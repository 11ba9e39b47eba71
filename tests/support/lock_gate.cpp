// The gate in front of a module's EnterCriticalSection.
#include "support/lock_gate.h"

namespace testing_support {

namespace {

using EnterFunction = void(WINAPI*)(CRITICAL_SECTION*);
LockGate* active = nullptr;
EnterFunction original_enter = nullptr;

}  // namespace

struct LockGateEntry {
  static void WINAPI enter(CRITICAL_SECTION* section) {
    LockGate& gate = *active;
    DWORD self = GetCurrentThreadId();
    if (gate.stopping_.compare_exchange_strong(self, 0)) {
      SetEvent(gate.stopped_);
      if (gate.at_stop) gate.at_stop();
      WaitForSingleObject(gate.opened_, INFINITE);
    }
    original_enter(section);
  }
};

LockGate::LockGate(HMODULE module)
    : patch_(module, "kernel32.dll", "EnterCriticalSection",
             reinterpret_cast<const void*>(&LockGateEntry::enter)),
      stopped_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      opened_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  active = this;
  original_enter = patch_.original<EnterFunction>();
}

LockGate::~LockGate() {
  open();
  CloseHandle(stopped_);
  CloseHandle(opened_);
}

void LockGate::stop_next_lock_of(DWORD thread) {
  ResetEvent(opened_);
  stopping_ = thread;
}

bool LockGate::wait_until_stopped(DWORD milliseconds) {
  return WaitForSingleObject(stopped_, milliseconds) == WAIT_OBJECT_0;
}

void LockGate::open() { SetEvent(opened_); }

}  // namespace testing_support
