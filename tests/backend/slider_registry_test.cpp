// The slider registry: who hears of a new level, and how often.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"
#include "support/import_table.h"

namespace {

// While set, this program's heap refuses to grow a block: a list whose first
// block came from malloc can only grow through realloc.
std::atomic<bool> refusing_growth{false};
using ReallocFn = void*(__cdecl*)(void*, size_t);
ReallocFn real_realloc = nullptr;
void* __cdecl refusing_realloc(void* block, size_t size) {
  return refusing_growth ? nullptr : real_realloc(block, size);
}

class SliderRegistryTest : public BackendTest {
 protected:
  dwx::SliderRegistry registry;
  RecordingSlider first, second;
};

// Every window registered and not removed hears each broadcast once, with
// redraw; an empty registry and a stranger's removal change nothing.
TEST_F(SliderRegistryTest, EveryRegisteredWindowHearsEachBroadcastOnceWithRedraw) {
  registry.broadcast(500);
  registry.remove(first.window());
  registry.broadcast(600);
  EXPECT_TRUE(first.positions().empty());

  RecordingSlider stranger;
  registry.add(first.window());
  registry.add(second.window());
  registry.remove(stranger.window());
  registry.broadcast(707);
  EXPECT_EQ(std::vector<std::string>{"1:707"}, first.positions());
  EXPECT_EQ(std::vector<std::string>{"1:707"}, second.positions());

  // Many come and go: the rest stay, each once.
  std::vector<std::unique_ptr<RecordingSlider>> sliders;
  for (int i = 0; i < 40; ++i) {
    sliders.push_back(std::make_unique<RecordingSlider>());
    registry.add(sliders.back()->window());
  }
  for (int i = 0; i < 40; i += 2)
    registry.remove(sliders[i]->window());
  registry.broadcast(9);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(i % 2 == 0 ? 0u : 1u, sliders[i]->positions().size()) << i;
  }
  EXPECT_EQ((std::vector<int>{707, 9}), second.levels());
  for (auto& slider : sliders)
    registry.remove(slider->window());
  registry.remove(first.window());
  registry.remove(second.window());
}

TEST_F(SliderRegistryTest, AWindowRegisteredTwiceHearsTwiceAndLeavesAtOnce) {
  registry.add(first.window());
  registry.add(second.window());
  registry.add(first.window());
  registry.broadcast(1);
  EXPECT_EQ(2u, first.positions().size());
  EXPECT_EQ(1u, second.positions().size());

  registry.remove(first.window());
  first.clear();
  second.clear();
  registry.broadcast(2);
  EXPECT_TRUE(first.positions().empty());
  EXPECT_EQ(std::vector<int>{2}, second.levels());
}

// The warning of a window the registry has no room for reaches a console
// that may take the host's lock, while the host reports a volume change on
// a thread of its own under that lock and so waits for the registry lock:
// the warning goes out once the registry lock is free.
TEST_F(SliderRegistryTest, AWindowLeftOutIsReportedOutsideTheRegistryLock) {
  testing_support::ImportPatch patch(GetModuleHandleW(nullptr), "msvcrt.dll", "realloc",
                                     reinterpret_cast<const void*>(&refusing_realloc));
  ASSERT_TRUE(patch.applied());
  real_realloc = patch.original<ReallocFn>();
  registry.add(first.window());  // the list's first block
  std::vector<std::unique_ptr<RecordingSlider>> more(5);
  for (auto& slider : more)
    slider = std::make_unique<RecordingSlider>();

  std::vector<std::string> printed;
  bool broadcast_got_the_lock = false;
  std::thread host_thread;
  HANDLE broadcast_done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  host->console_listener = [&](const standin::ConsoleLine& line) {
    refusing_growth = false;
    printed.push_back(line.text);
    host_thread = std::thread([&] {
      registry.broadcast(400);
      SetEvent(broadcast_done);
    });
    broadcast_got_the_lock = WaitForSingleObject(broadcast_done, 2000) == WAIT_OBJECT_0;
  };
  refusing_growth = true;
  for (auto& slider : more)
    registry.add(slider->window());  // four spares, then nowhere
  refusing_growth = false;
  host->console_listener = nullptr;
  if (host_thread.joinable()) host_thread.join();
  CloseHandle(broadcast_done);

  ASSERT_EQ(1u, printed.size());
  EXPECT_EQ(0u, printed[0].rfind("Volume slider will not follow volume changes - ", 0));
  EXPECT_TRUE(broadcast_got_the_lock) << "printed while holding the registry lock";
  registry.remove(first.window());
  for (auto& slider : more)
    registry.remove(slider->window());
}

}  // namespace
