// What a process holds: kernel handles, USER and GDI objects, committed
// private memory. A test reads them before and after repeated work and
// fails when any of them grew.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace testing_support {

struct ProcessCounters {
  unsigned kernel_handles = 0;
  unsigned user_objects = 0;
  unsigned gdi_objects = 0;
  size_t committed_bytes = 0;
};

// The system's own figures where it gives them. Wine answers 0 to
// GetProcessHandleCount, GetGuiResources and PrivateUsage; there kernel and
// GDI objects are counted by asking every possible handle value whether it
// is live, USER objects are the process's windows, and committed memory is
// the sum of the committed private regions of the address space.
ProcessCounters read_process_counters();

// "handles 12, USER 3, GDI 40, committed 2.1 MiB".
std::string describe(const ProcessCounters& counters);

}  // namespace testing_support
