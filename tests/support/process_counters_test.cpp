// The counters the leak checks rest on must see what a leak would leave.
#include <gtest/gtest.h>

#include <vector>

#include "support/process_counters.h"

namespace {

using testing_support::ProcessCounters;
using testing_support::read_process_counters;

TEST(ProcessCounters, EachCountSeesObjectsMadeAndFreed) {
  constexpr unsigned made = 20;
  constexpr size_t block_bytes = 8 << 20;
  // Makes the objects, reads the counters while they live, frees them.
  auto round = [] {
    std::vector<HANDLE> events;
    std::vector<HWND> windows;
    std::vector<HGDIOBJ> brushes;
    for (unsigned i = 0; i < made; ++i) {
      events.push_back(CreateEventW(nullptr, TRUE, FALSE, nullptr));
      windows.push_back(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                        nullptr, nullptr));
      brushes.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    }
    void* block = VirtualAlloc(nullptr, block_bytes, MEM_COMMIT, PAGE_READWRITE);
    const ProcessCounters during = read_process_counters();
    VirtualFree(block, 0, MEM_RELEASE);
    for (unsigned i = 0; i < made; ++i) {
      CloseHandle(events[i]);
      DestroyWindow(windows[i]);
      DeleteObject(brushes[i]);
    }
    return during;
  };
  // The first windows of a thread bring the system's own objects with them:
  // a first round leaves those behind, as the first cycles of a soak do. The
  // system's input window lives while the thread has a window at all.
  HWND keeper =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  round();
  const ProcessCounters before = read_process_counters();
  const ProcessCounters during = round();
  const ProcessCounters after = read_process_counters();

  EXPECT_EQ(before.kernel_handles + made, during.kernel_handles);
  EXPECT_EQ(before.user_objects + made, during.user_objects);
  EXPECT_EQ(before.gdi_objects + made, during.gdi_objects);
  EXPECT_GE(during.committed_bytes, before.committed_bytes + block_bytes);
  EXPECT_EQ(before.kernel_handles, after.kernel_handles);
  EXPECT_EQ(before.user_objects, after.user_objects);
  EXPECT_EQ(before.gdi_objects, after.gdi_objects);
  EXPECT_EQ(before.committed_bytes, after.committed_bytes);
  DestroyWindow(keeper);
}

}  // namespace
