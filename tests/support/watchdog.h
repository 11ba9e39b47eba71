// Ends the test program when a test hangs: a deadlock must fail, not stall the suite.
#pragma once

#include <windows.h>

#include <cstdio>
#include <thread>

namespace testing_support {

class Watchdog {
 public:
  explicit Watchdog(DWORD milliseconds)
      : thread_([this, milliseconds] {
          if (WaitForSingleObject(done_, milliseconds) == WAIT_TIMEOUT) {
            fprintf(stderr, "Deadlock: the test did not finish in %lu ms\n",
                    static_cast<unsigned long>(milliseconds));
            fflush(stderr);
            ExitProcess(3);
          }
        }) {}
  ~Watchdog() {
    SetEvent(done_);
    thread_.join();
    CloseHandle(done_);
  }
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  HANDLE done_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread thread_;
};

}  // namespace testing_support
