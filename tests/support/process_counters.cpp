#include "support/process_counters.h"

#include <psapi.h>

#include <cstdio>

namespace testing_support {
namespace {

// Kernel handles are multiples of 4 below 2^16 in any process these tests run.
unsigned live_kernel_handles() {
  unsigned count = 0;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
  }
  return count;
}

void count_window_tree(HWND window, DWORD process, unsigned& count) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != process) return;
  ++count;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    count_window_tree(child, process, count);
  }
}

// The process's windows: top-level ones, message-only ones, and all their
// children. The component makes no other USER object.
unsigned live_windows() {
  const DWORD process = GetCurrentProcessId();
  unsigned count = 0;
  for (HWND top = GetTopWindow(nullptr); top; top = GetWindow(top, GW_HWNDNEXT)) {
    count_window_tree(top, process, count);
  }
  for (HWND only = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); only;
       only = FindWindowExW(HWND_MESSAGE, only, nullptr, nullptr)) {
    count_window_tree(only, process, count);
  }
  return count;
}

// GDI handles carry a table index in their low word; a handle whose high word
// is 0 stands for whatever object holds that index now.
unsigned live_gdi_objects() {
  unsigned count = 0;
  for (ULONG_PTR index = 1; index < 0x10000; ++index) {
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
  }
  return count;
}

// The address space's committed private regions, walked one region at a time.
size_t committed_private_bytes() {
  size_t bytes = 0;
  MEMORY_BASIC_INFORMATION region;
  for (const char* address = nullptr;
       VirtualQuery(address, &region, sizeof region) == sizeof region;
       address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) bytes += region.RegionSize;
    if (region.RegionSize == 0) break;
  }
  return bytes;
}

}  // namespace

ProcessCounters read_process_counters() {
  ProcessCounters counters;
  HANDLE self = GetCurrentProcess();
  DWORD handles = 0;
  if (GetProcessHandleCount(self, &handles) && handles != 0) {
    counters.kernel_handles = handles;
  } else {
    counters.kernel_handles = live_kernel_handles();
  }
  counters.user_objects = GetGuiResources(self, GR_USEROBJECTS);
  if (counters.user_objects == 0) counters.user_objects = live_windows();
  counters.gdi_objects = GetGuiResources(self, GR_GDIOBJECTS);
  if (counters.gdi_objects == 0) counters.gdi_objects = live_gdi_objects();

  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                           sizeof memory)) {
    counters.committed_bytes = memory.PrivateUsage;
  }
  if (counters.committed_bytes == 0) counters.committed_bytes = committed_private_bytes();
  return counters;
}

std::string describe(const ProcessCounters& counters) {
  char text[128];
  snprintf(text, sizeof text, "handles %u, USER %u, GDI %u, committed %.1f MiB",
           counters.kernel_handles, counters.user_objects, counters.gdi_objects,
           static_cast<double>(counters.committed_bytes) / (1024.0 * 1024.0));
  return text;
}

}  // namespace testing_support
