// The drag path in steady state: no heap allocation at all.
#include <windows.h>

#include <atomic>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "frame/component_client.h"
#include "frame/settings.h"
#include "standin_host/abi.h"
#include "support/import_table.h"
#include "support/scripted_mixer.h"

namespace {

using MallocFn = void*(__cdecl*)(size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
std::atomic<int> allocations{0};
MallocFn real_malloc = nullptr;
ReallocFn real_realloc = nullptr;
void* __cdecl counting_malloc(size_t size) {
  ++allocations;
  return real_malloc(size);
}
void* __cdecl counting_realloc(void* block, size_t size) {
  ++allocations;
  return real_realloc(block, size);
}

// Counts every allocation made through this program's import table, the
// component's objects' and the stand-in host's alike.
class AllocationCounter {
 public:
  AllocationCounter() {
    real_malloc = malloc_.original<MallocFn>();
    real_realloc = realloc_.original<ReallocFn>();
    allocations = 0;
  }
  bool applied() const { return malloc_.applied() && realloc_.applied(); }
  int count() const { return allocations.load(); }

 private:
  testing_support::ImportPatch malloc_{GetModuleHandleW(nullptr), "msvcrt.dll", "malloc",
                                       reinterpret_cast<void*>(&counting_malloc)};
  testing_support::ImportPatch realloc_{GetModuleHandleW(nullptr), "msvcrt.dll", "realloc",
                                        reinterpret_cast<void*>(&counting_realloc)};
};

class AllocationTest : public BackendTest {
 protected:
  void SetUp() override {
    BackendTest::SetUp();
    host->record = false;  // the stand-in host's own records would count too
    for (auto& slider : sliders)
      dwx::slider_registry.add(slider.window());
  }
  void TearDown() override {
    host->remove_play_callbacks();
    host->record = true;
    for (auto& slider : sliders)
      dwx::slider_registry.remove(slider.window());
    BackendTest::TearDown();
  }

  // A few rounds of what a drag does, plus the host reporting each change.
  static void drag(int steps) {
    for (int i = 0; i < steps; ++i) {
      dwx::volume_backend.set_volume(i % 2 ? 300 : 700);
      level_read(dwx::volume_backend);
    }
  }

  RecordingSlider sliders[8];
};

TEST_F(AllocationTest, OnTheHostsVolume) {
  for (auto* node = dwx::component_client.get_service_list(); node; node = node->next()) {
    if (IsEqualGUID(node->class_guid(), standin::guids::play_callback)) {
      host->add_play_callback(node->create());
    }
  }
  drag(4);  // the host's service looked up, the sliders' records grown
  for (auto& slider : sliders)
    slider.clear();
  AllocationCounter counter;
  ASSERT_TRUE(counter.applied());
  drag(50);
  dwx::slider_registry.broadcast(500);
  EXPECT_EQ(0, counter.count());
  EXPECT_FALSE(sliders[7].levels().empty()) << "the host's reports did reach the sliders";
}

TEST_F(AllocationTest, OnAMixer) {
  testing_support::ScriptedMixer mixer(GetModuleHandleW(nullptr));
  mixer.devices = {testing_support::ScriptedMixer::device(L"Card")};
  dwx::mixer_id.set(1);
  dwx::volume_backend.reopen(1, 0);
  mixer.record_calls = false;  // the script's own records would count too
  AllocationCounter counter;
  ASSERT_TRUE(counter.applied());
  drag(50);
  SendMessageW(mixer.callback_window(), MM_MIXM_CONTROL_CHANGE,
               reinterpret_cast<WPARAM>(mixer.handle_of(0)), 100);
  EXPECT_EQ(0, counter.count());
  EXPECT_EQ(19660u, mixer.value_of(100)) << "the last step, level 300, reached the mixer";
}

}  // namespace
