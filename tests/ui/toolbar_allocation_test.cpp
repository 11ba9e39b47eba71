// A toolbar drag, press to release, makes no heap call in the component once
// the press is done: with the host's volume in decibels and a wide tooltip,
// and with a mixer in per cent and an ANSI one.
#include <windows.h>

#include <memory>
#include <ostream>
#include <string>

#include "support/blob.h"
#include "support/scripted_mixer.h"
#include "ui/toolbar_fixture.h"

namespace {

using testing_support::ScriptedMixer;

using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using FreeFn = void(__cdecl*)(void*);
MallocFn real_malloc = nullptr;
CallocFn real_calloc = nullptr;
ReallocFn real_realloc = nullptr;
FreeFn real_free = nullptr;
bool counting = false;
int heap_calls = 0;

void* __cdecl counting_malloc(size_t size) {
  heap_calls += counting;
  return real_malloc(size);
}
void* __cdecl counting_calloc(size_t count, size_t size) {
  heap_calls += counting;
  return real_calloc(count, size);
}
void* __cdecl counting_realloc(void* block, size_t size) {
  heap_calls += counting;
  return real_realloc(block, size);
}
// free(nullptr) counts too: it is still a call into the runtime.
void __cdecl counting_free(void* block) {
  heap_calls += counting;
  real_free(block);
}

struct DragCase {
  const char* name;
  int unicode;
  bool mixer;
};
void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class ToolbarAllocationTest : public ToolbarTest, public ::testing::WithParamInterface<DragCase> {
 protected:
  int unicode_mode() override { return GetParam().unicode; }
  std::vector<uint8_t> configuration() override {
    if (!GetParam().mixer) return {};
    return testing_support::BlobBuilder().record("mixer_id", 1);
  }
  void before_start() override {
    if (!GetParam().mixer) return;
    mixer = std::make_unique<ScriptedMixer>(component.module());
    ASSERT_TRUE(mixer->applied());
    mixer->devices = {ScriptedMixer::device(L"Out: scripted")};
  }
  void before_unload() override { mixer.reset(); }

  // Every heap call the component's image makes goes through these imports.
  void count_heap_calls() {
    real_malloc = patch("msvcrt.dll", "malloc", reinterpret_cast<const void*>(&counting_malloc))
                      .original<MallocFn>();
    real_calloc = patch("msvcrt.dll", "calloc", reinterpret_cast<const void*>(&counting_calloc))
                      .original<CallocFn>();
    real_realloc = patch("msvcrt.dll", "realloc", reinterpret_cast<const void*>(&counting_realloc))
                       .original<ReallocFn>();
    real_free = patch("msvcrt.dll", "free", reinterpret_cast<const void*>(&counting_free))
                    .original<FreeFn>();
    ASSERT_TRUE(real_malloc && real_calloc && real_realloc && real_free);
  }

  std::unique_ptr<ScriptedMixer> mixer;
};

TEST_P(ToolbarAllocationTest, ADragAllocatesNothingAfterThePress) {
  count_heap_calls();
  if (HasFatalFailure()) return;
  press(x_for(10));
  ASSERT_NE(nullptr, tooltip_of(toolbar_window));
  heap_calls = 0;
  counting = true;
  for (int i = 1; i <= 50; ++i)
    move(x_for(10 + 19 * i));
  release(x_for(960));
  counting = false;
  EXPECT_EQ(0, heap_calls);
  EXPECT_EQ(960, trackbar_pos(trackbar)) << "the drag went all the way";
  if (GetParam().mixer) {
    EXPECT_EQ(62913u, mixer->value_of(100)) << "the last level reached the mixer";
  } else {
    EXPECT_EQ(hdb_for({960}).back(), host.volume_sets().back()) << "and the host";
  }
}

INSTANTIATE_TEST_SUITE_P(BothTextForms, ToolbarAllocationTest,
                         ::testing::Values(DragCase{"WideDecibels", 1, false},
                                           DragCase{"AnsiPerCent", 0, true}),
                         [](const ::testing::TestParamInfo<DragCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
