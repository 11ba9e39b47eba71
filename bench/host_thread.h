// A thread of the host's own, kept for the whole run, on which the bench makes the host's calls.
#pragma once

#include <windows.h>

#include <functional>

namespace bench {

class HostThread {
 public:
  HostThread();
  ~HostThread();
  HostThread(const HostThread&) = delete;
  HostThread& operator=(const HostThread&) = delete;

  // Runs the task on the thread and returns when it has ended.
  void run(const std::function<void()>& task);

 private:
  static DWORD WINAPI main(void* self);

  HANDLE go_;
  HANDLE done_;
  HANDLE thread_;
  const std::function<void()>* task_ = nullptr;  // null: the thread ends
};

}  // namespace bench
