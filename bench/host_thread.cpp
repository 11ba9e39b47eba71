#include "host_thread.h"

namespace bench {

HostThread::HostThread()
    : go_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      done_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      thread_(CreateThread(nullptr, 0, &HostThread::main, this, 0, nullptr)) {}

HostThread::~HostThread() {
  task_ = nullptr;
  SetEvent(go_);
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  CloseHandle(done_);
  CloseHandle(go_);
}

void HostThread::run(const std::function<void()>& task) {
  task_ = &task;
  SetEvent(go_);
  WaitForSingleObject(done_, INFINITE);
}

DWORD WINAPI HostThread::main(void* self) {
  auto* thread = static_cast<HostThread*>(self);
  for (;;) {
    WaitForSingleObject(thread->go_, INFINITE);
    if (thread->task_ == nullptr) return 0;
    (*thread->task_)();
    SetEvent(thread->done_);
  }
}

}  // namespace bench
