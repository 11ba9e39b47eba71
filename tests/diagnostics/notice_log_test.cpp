// The notice log in-process, printing on the stand-in host's console.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <type_traits>
#include <vector>

#include "diagnostics/console.h"
#include "diagnostics/notice_log.h"
#include "frame/component_state.h"
#include "standin_host/host.h"
#include "support/import_table.h"
#include "support/message_boxes.h"

// This test program plays the library's part: it owns the component's state.
namespace dwx {
ComponentState component;
}

namespace {

class NoticeLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dwx::component.set_entry_arguments(reinterpret_cast<dwx::HostApi*>(host.api()),
                                       GetModuleHandleW(nullptr));
    dwx::component.set_module_strings("C:\\components\\dwx_volume.dll", "dwx_volume");
    dwx::component.set_services_ready(false);
  }
  void TearDown() override { dwx::component.set_services_ready(false); }

  // What the library's unload does with the log.
  void unload() { log.reset(); }

  std::vector<std::string> console() const {
    std::vector<std::string> lines;
    for (const auto& line : host.console_lines()) {
      lines.push_back(std::to_string(line.level) + "|" + line.source + "|" + line.text);
    }
    return lines;
  }

  standin::Host host;
  testing_support::MessageBoxRecorder boxes;
  std::unique_ptr<dwx::NoticeLog> log = std::make_unique<dwx::NoticeLog>();
};

TEST_F(NoticeLogTest, AnErrorBeforeTheHostIsReadyWaitsAndIsShownAtUnload) {
  log->error("mixerOpen failed - The device is busy.");
  EXPECT_TRUE(host.console_lines().empty());
  EXPECT_TRUE(host.lookups().empty()) << "the console is not even looked up";

  unload();
  ASSERT_EQ(1u, boxes.calls.size());
  EXPECT_EQ("error: mixerOpen failed - The device is busy.", boxes.calls[0].text);
  EXPECT_EQ("DWX Volume notices", boxes.calls[0].caption);
  EXPECT_EQ(0u, boxes.calls[0].flags);
  EXPECT_EQ(nullptr, boxes.calls[0].owner);
}

TEST_F(NoticeLogTest, TheUnloadBoxListsEachNoticeOnALineOfItsOwn) {
  log->warning("A");
  log->error("B");
  log->warning("");
  unload();
  ASSERT_EQ(1u, boxes.calls.size());
  EXPECT_EQ("warning: A\nerror: B\nwarning: ", boxes.calls[0].text);
}

TEST_F(NoticeLogTest, OnceReadyANewNoticeFlushesTheQueueFirst) {
  log->warning("first");
  log->warning("second");
  dwx::component.set_services_ready(true);
  log->error("third");
  EXPECT_EQ(
      (std::vector<std::string>{"2|dwx_volume|first", "2|dwx_volume|second", "3|dwx_volume|third"}),
      console());
  EXPECT_EQ(0, host.console_references()) << "every console reference is given back";
  unload();
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(NoticeLogTest, AnErrorWhileReadyPrintsAsAFlushedOneWould) {
  log->error("queued");
  dwx::component.set_services_ready(true);
  log->flush();
  log->error("direct");
  EXPECT_EQ((std::vector<std::string>{"3|dwx_volume|queued", "3|dwx_volume|direct"}), console());
}

TEST_F(NoticeLogTest, FlushWithoutAConsoleLosesTheQueue) {
  host.console_available = false;
  log->warning("lost");
  log->flush();
  host.console_available = true;
  log->flush();
  EXPECT_TRUE(host.console_lines().empty());
  unload();
  EXPECT_TRUE(boxes.calls.empty());
}

TEST_F(NoticeLogTest, NothingQueuedMeansNoBoxAtUnload) {
  unload();
  EXPECT_TRUE(boxes.calls.empty());
}

// The source is the module name, or empty when the host gave none, or once
// the first clean-up at unload has freed it. The state itself is never
// destroyed: every later clean-up may still report, and read it.
TEST_F(NoticeLogTest, TheSourceIsTheModuleNameOrEmpty) {
  static_assert(std::is_trivially_destructible<dwx::ComponentState>::value,
                "the state outlives every clean-up");
  dwx::component.set_services_ready(true);
  log->warning("named");
  dwx::component.set_module_strings("first", "");
  log->warning("unnamed");
  dwx::component.set_module_strings("first", "dwx_volume");
  { dwx::ModuleStringsCleanUp unload_begins; }
  log->error("later in the unload");
  EXPECT_EQ(
      (std::vector<std::string>{"2|dwx_volume|named", "2||unnamed", "3||later in the unload"}),
      console());
}

TEST_F(NoticeLogTest, NoticesFromManyThreadsAreEachPrintedOnce) {
  constexpr int threads = 4, per_thread = 200;
  std::atomic<bool> go{false};
  std::vector<std::thread> reporters;
  for (int t = 0; t < threads; ++t) {
    reporters.emplace_back([&, t] {
      while (!go)
        std::this_thread::yield();
      for (int i = 0; i < per_thread; ++i) {
        log->warning((std::to_string(t) + ":" + std::to_string(i)).c_str());
        if (i == per_thread / 2 && t == 0) dwx::component.set_services_ready(true);
      }
    });
  }
  go = true;
  for (auto& reporter : reporters)
    reporter.join();
  log->flush();

  std::vector<int> seen(threads, 0);
  for (const auto& line : host.console_lines()) {
    const int t = std::stoi(line.text.substr(0, line.text.find(':')));
    const int i = std::stoi(line.text.substr(line.text.find(':') + 1));
    EXPECT_EQ(seen[t], i) << "thread " << t << "'s notices stay in order";
    seen[t] = i + 1;
  }
  for (int t = 0; t < threads; ++t)
    EXPECT_EQ(per_thread, seen[t]) << "thread " << t;
}

TEST_F(NoticeLogTest, EachLevelReachesTheConsoleAsTheNumberItStandsFor) {
  static_assert(!std::is_invocable<decltype(&dwx::console_output), int, const char*>::value,
                "a level is a NoticeLevel, never a bare number");
  for (const dwx::NoticeLevel level :
       {dwx::NoticeLevel::info, dwx::NoticeLevel::warning, dwx::NoticeLevel::error}) {
    dwx::console_output(level, "line");
  }
  EXPECT_EQ(
      (std::vector<std::string>{"1|dwx_volume|line", "2|dwx_volume|line", "3|dwx_volume|line"}),
      console());
}

// The heap running dry at a chosen allocation: the component's code in this
// program calls malloc and realloc through the program's own import table.
// Allocations that do not fail are the real ones, so frees need no patch.
using MallocFn = void*(__cdecl*)(size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
std::atomic<int> allocations_until_failure{-1};
MallocFn real_malloc = nullptr;
ReallocFn real_realloc = nullptr;

bool next_allocation_fails() {
  int left = allocations_until_failure.load();
  while (left >= 0 && !allocations_until_failure.compare_exchange_weak(left, left - 1)) {
  }
  return left == 0;
}
void* __cdecl failing_malloc(size_t size) {
  return next_allocation_fails() ? nullptr : real_malloc(size);
}
void* __cdecl failing_realloc(void* block, size_t size) {
  return next_allocation_fails() ? nullptr : real_realloc(block, size);
}

class FailingHeap {
 public:
  FailingHeap()
      : malloc_(GetModuleHandleW(nullptr), "msvcrt.dll", "malloc",
                reinterpret_cast<void*>(&failing_malloc)),
        realloc_(GetModuleHandleW(nullptr), "msvcrt.dll", "realloc",
                 reinterpret_cast<void*>(&failing_realloc)) {
    real_malloc = malloc_.original<MallocFn>();
    real_realloc = realloc_.original<ReallocFn>();
  }
  ~FailingHeap() { allocations_until_failure = -1; }
  bool applied() const { return malloc_.applied() && realloc_.applied(); }
  // The n-th allocation from now on fails (0: the next one).
  void fail_allocation(int n) { allocations_until_failure = n; }

 private:
  testing_support::ImportPatch malloc_;
  testing_support::ImportPatch realloc_;
};

TEST_F(NoticeLogTest, WhenTheHeapRunsDryNoticesAreDroppedOrLoseOnlyTheirText) {
  {
    FailingHeap heap;
    ASSERT_TRUE(heap.applied());
    heap.fail_allocation(0);  // the notice itself
    log->error("dropped");
    heap.fail_allocation(1);  // its text
    log->error("no text");
    heap.fail_allocation(2);  // the queue's room for it
    log->error("no room");
  }
  log->warning("kept");
  dwx::component.set_services_ready(true);
  log->flush();
  EXPECT_EQ((std::vector<std::string>{"3|dwx_volume|", "2|dwx_volume|kept"}), console());
}

}  // namespace
