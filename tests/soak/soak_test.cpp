// The component loaded, used and unloaded over and over, as a player that is
// started and stopped many times in one process: once the first cycles have
// brought in what Windows keeps for the process anyway, nothing may grow.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "backend/volume_scale.h"
#include "soak/soak_session.h"
#include "support/heap_usage.h"
#include "support/process_counters.h"
#include "support/watchdog.h"

namespace {

// Every window class the component registers.
const wchar_t* const component_classes[] = {
    L"C4553E95-BFE3-4016-A475-ACF3ED951813",  // the toolbar's host window
    L"F14E14BB-32D3-4d44-9D0F-CDEAC87F371E",  // the panel's host window
    L"8DEB9B7A-B049-4599-AE4B-258E9D58D5F3",  // the mixer's callback window
};

struct Reading {
  testing_support::ProcessCounters counters;
  testing_support::HeapUsage heap;
  unsigned classes = 0;  // of the component's, still registered for the module
};

Reading read_everything(HMODULE module) {
  Reading reading{testing_support::read_process_counters(), testing_support::read_heap_usage()};
  for (const wchar_t* name : component_classes) {
    WNDCLASSEXW description = {};
    description.cbSize = sizeof description;
    reading.classes += GetClassInfoExW(module, name, &description) != FALSE;
  }
  return reading;
}

// Each figure of a reading, by name.
template <class Each>
void for_each_figure(const Reading& from, const Reading& to, Each each) {
  each("kernel handles", from.counters.kernel_handles, to.counters.kernel_handles);
  each("USER objects", from.counters.user_objects, to.counters.user_objects);
  each("GDI objects", from.counters.gdi_objects, to.counters.gdi_objects);
  each("committed bytes", from.counters.committed_bytes, to.counters.committed_bytes);
  each("heap blocks in use", from.heap.blocks, to.heap.blocks);
  each("heap bytes in use", from.heap.bytes, to.heap.bytes);
  each("classes registered", from.classes, to.classes);
}

// What grew between two readings, one line each; empty when nothing did.
// Nothing may grow, memory included: once the warm-up is over the long runs
// show no noise at all. A leak of one 64-byte block per cycle shows on the
// heap figures at any length, as N blocks and 64 N bytes after N cycles.
// Committed memory cannot carry the check alone: Wine's heaps commit 64 KiB
// at a time, so that leak is invisible there after 50 cycles (3,200 bytes)
// and one step of 65,536 after 1000, which any tolerance would hide.
std::string what_grew(const Reading& from, const Reading& to) {
  std::string grown;
  for_each_figure(from, to, [&](const char* name, double before, double after) {
    if (after > before)
      grown += std::string(name) + " grew by " +
               std::to_string(static_cast<long long>(after - before)) + "\n";
  });
  return grown;
}

void print_figures(const Reading& warm, const Reading& end) {
  printf("  %-20s %14s %14s %10s\n", "", "after warm-up", "at the end", "growth");
  for_each_figure(warm, end, [](const char* name, double before, double after) {
    printf("  %-20s %14.0f %14.0f %+10.0f\n", name, before, after, after - before);
  });
}

// One player run: start, both sliders, a drag, the page switching to a
// mixer device and back, then everything closed and the library unloaded
// and gone.
// Returns the module the library had.
HMODULE player_cycle() {
  SoakSession session;
  const std::string missing = session.open();
  EXPECT_EQ("", missing);
  player::Player& player = session.player;
  const HMODULE module = player.module();
  if (missing.empty()) {
    const HWND trackbar = session.toolbar.trackbar;
    const RECT channel = player::channel_rect(trackbar);
    player::press(trackbar, channel.left + 10);
    for (int step = 1; step <= 8; ++step)
      player::move(trackbar, channel.left + (channel.right - channel.left) * step / 10);
    player::release(trackbar, channel.right - 20);
    player::pump();
    EXPECT_EQ(dwx::level_to_hdb(session.toolbar.level()), player.host.volume());
    EXPECT_EQ(session.toolbar.level(), session.panel.level());

    player.choose(device_list, 1);
    EXPECT_EQ(1, player.stored()["mixer_id"]) << "the mixer is open";
    player.choose(device_list, 0);
    EXPECT_EQ(0, player.selection(device_list));
    EXPECT_EQ(0, session.mixer->open_mixers());
  }
  player.close();
  // A library still mapped after its unload keeps its state for the next
  // load and shows in none of the figures: it must be gone every time.
  EXPECT_EQ(nullptr, GetModuleHandleW(L"dwx_volume.dll")) << "still mapped after FreeLibrary";
  for (const standin::ConsoleLine& line : player.host.console_lines())
    ADD_FAILURE() << "unexpected notice: " << line.level << " " << line.text;
  EXPECT_TRUE(player.message_boxes.calls.empty());
  return module;
}

TEST(LoadUnloadSoak, NothingGrowsOverRepeatedPlayerRuns) {
  const unsigned cycles = count_from_environment("DWX_SOAK_CYCLES", 50);
  constexpr unsigned warm_up = 5;
  // A cycle takes about 0.1 s.
  testing_support::Watchdog watchdog(120000 + 1000 * cycles);

  HMODULE module = nullptr;
  for (unsigned i = 0; i < warm_up; ++i)
    module = player_cycle();
  ASSERT_FALSE(HasFailure());
  const Reading warm = read_everything(module);
  const auto started = std::chrono::steady_clock::now();
  unsigned done = 0;
  for (; done < cycles && !HasFailure(); ++done)
    module = player_cycle();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  const Reading end = read_everything(module);

  printf("Load/unload soak: %u cycles after %u warm-up cycles, %.1f ms per cycle\n", done, warm_up,
         ms / done);
  print_figures(warm, end);
  fflush(stdout);
  EXPECT_EQ(cycles, done);
  EXPECT_EQ("", what_grew(warm, end));
  EXPECT_EQ(0u, end.classes);
}

// The figures must see the smallest leak the soak is there to catch: one
// 64-byte block per cycle, over the short run's 50 cycles.
TEST(LoadUnloadSoak, TheFiguresSeeOneSmallBlockPerCycle) {
  constexpr unsigned cycles = 50;
  std::vector<void*> blocks;
  blocks.reserve(cycles);
  const Reading before = read_everything(nullptr);
  for (unsigned i = 0; i < cycles; ++i)
    blocks.push_back(malloc(64));
  const Reading after = read_everything(nullptr);
  for (void* block : blocks)
    free(block);
  EXPECT_EQ(before.heap.blocks + cycles, after.heap.blocks);
  EXPECT_NE("", what_grew(before, after));
}

}  // namespace
