// Four host threads report volume changes while the user drags the toolbar,
// a timer runs the menu's volume commands and the preferences page switches
// between the player's own volume and a mixer device. Nothing may wait for
// ever. Once the UI thread has settled (the drag released, the page back on
// the player's own volume, every message handled), a host thread has the
// last word, and every slider must end on the level it reported: a report
// from another thread is the one way to the sliders that the UI thread's own
// work never covers.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "backend/volume_scale.h"
#include "soak/soak_session.h"
#include "support/watchdog.h"

namespace {

constexpr unsigned volume_up = 0, volume_down = 1, volume_mute = 2;
const GUID menu_caller = {
    0x6d2a43b1, 0x3f3e, 0x4c57, {0x9a, 0x1c, 0x2e, 0x45, 0x71, 0x0b, 0x8e, 0x13}};

// The timer's procedure finds the commands here; one stress runs at a time.
standin::MenuItems* timer_commands = nullptr;
unsigned commands_run = 0;

void CALLBACK run_next_command(HWND, UINT, UINT_PTR, DWORD) {
  static const unsigned order[] = {volume_up,   volume_up,   volume_down,
                                   volume_mute, volume_down, volume_mute};
  timer_commands->perform_ex(order[commands_run++ % 6], menu_caller);
}

// A small generator of its own per thread: rand() shares its state.
struct Random {
  uint32_t state;
  uint32_t next(uint32_t below) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % below;
  }
};

// The stress, with the host reporting under its own lock or without it.
// Under the lock, reports reach the component one at a time and in the
// order of the changes, so the four reporters may race for the last word:
// the host's lock decides which was last. Without it, four reporters are in
// the component at once, and a report can overtake an older one on its way,
// so that no component could tell which is the host's volume: there the
// reporters' end is checked only for not crashing or hanging, and one
// reporter alone has the last word afterwards.
void stress(bool under_lock) {
  const unsigned total = count_from_environment("DWX_STRESS_CALLBACKS", 5000);
  constexpr unsigned reporter_count = 4;
  testing_support::Watchdog watchdog(120000 + total * 5);

  SoakSession session;
  player::Player& player = session.player;
  player.host.callbacks_under_lock = under_lock;
  const DWORD ui_thread = GetCurrentThreadId();
  std::atomic<unsigned> delivered{0};
  // Which thread made the host's latest change; under the lock, told in
  // the order of the changes.
  std::atomic<DWORD> last_changed_by{0};
  player.host.volume_listener = [&](int) {
    const DWORD thread = GetCurrentThreadId();
    last_changed_by = thread;
    if (thread != ui_thread) ++delivered;
  };
  ASSERT_EQ("", session.open());

  timer_commands = &player.commands();
  commands_run = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, run_next_command);
  ASSERT_NE(0u, timer);

  // The reporters never run ahead of the UI thread's work: by the end of its
  // step s of ui_steps they may have delivered s/ui_steps of the total, so
  // drags, commands and switches overlap the reports from the first to the
  // last. Faster than the UI, they wait; slower, the UI goes on until they
  // are done. Then each waits for the UI to settle and for its last word.
  constexpr unsigned ui_steps = 400;
  std::atomic<unsigned> allowance{0}, finished{0};
  std::atomic<bool> settled{false};
  int last_words[reporter_count] = {};  // in hundredths of a decibel, set before `settled`
  DWORD reporter_threads[reporter_count] = {};
  std::vector<std::thread> reporters;
  const auto started = std::chrono::steady_clock::now();
  for (unsigned t = 0; t < reporter_count; ++t) {
    reporters.emplace_back([&, t] {
      reporter_threads[t] = GetCurrentThreadId();
      Random random{0x5EED0000u + t};
      for (unsigned done; (done = delivered.load()) < total;) {
        if (done >= allowance.load()) {
          Sleep(1);
          continue;
        }
        player.host.change_volume(-static_cast<int>(random.next(6001)));
      }
      ++finished;
      while (!settled.load())
        Sleep(1);
      if (under_lock || t == 0) player.host.change_volume(last_words[t]);
    });
  }

  Random random{0xD2A6u};
  const HWND trackbar = session.toolbar.trackbar;
  const RECT channel = player::channel_rect(trackbar);
  const int left = channel.left - 5, width = channel.right - left + 10;
  unsigned step = 0, moves = 0, drags = 0, switches = 0;
  bool pressed = false;
  for (; step < ui_steps || finished.load() < reporter_count; ++step) {
    allowance = static_cast<unsigned>(static_cast<uint64_t>(total) *
                                      (step < ui_steps ? step + 1 : ui_steps) / ui_steps);
    const int x = left + static_cast<int>(random.next(static_cast<uint32_t>(width)));
    if (!pressed) {
      player::press(trackbar, x);
      pressed = true;
    } else if (random.next(20) == 0) {
      player::release(trackbar, x);
      pressed = false;
      // Between drags, every other time, the page takes the other device.
      if (++drags % 2 == 0) {
        player.choose(device_list, player.selection(device_list) == 0 ? 1 : 0);
        ++switches;
      }
    } else {
      player::move(trackbar, x);
      ++moves;
    }
    player::pump();
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  KillTimer(nullptr, timer);
  if (pressed) player::release(trackbar, left);
  player.choose(device_list, 0);
  player::pump();

  // Every last word is a level no slider shows now, and no two are alike, so
  // a lost one cannot pass for one that arrived.
  const int settled_level = session.toolbar.level();
  for (unsigned t = 0; t < reporter_count; ++t)
    last_words[t] = dwx::level_to_hdb((settled_level + 200 * static_cast<int>(t + 1)) % 1000);
  settled = true;
  for (std::thread& reporter : reporters)
    reporter.join();
  player::pump();

  unsigned last = reporter_count;
  for (unsigned t = 0; t < reporter_count; ++t) {
    if (reporter_threads[t] == last_changed_by.load()) last = t;
  }
  printf(
      "Thread stress, the host %s its lock: %u host callbacks from %u threads in %.2f s, %.0f "
      "per second\n",
      under_lock ? "reporting under" : "reporting without", delivered.load(), reporter_count,
      seconds, delivered.load() / seconds);
  printf(
      "  meanwhile on the UI thread: %u steps, %u drags, %u moves, %u commands, %u device "
      "switches\n",
      step, drags, moves, commands_run, switches);
  printf("  then, the UI settled at level %d, the last word: reporter %u's level %d\n",
         settled_level, last, dwx::hdb_to_level(player.host.volume()));
  fflush(stdout);

  ASSERT_LT(last, reporter_count) << "the host's last change came from the UI thread";
  EXPECT_EQ(last_words[last], player.host.volume());
  const int level = dwx::hdb_to_level(player.host.volume());
  EXPECT_NE(settled_level, level);
  EXPECT_EQ(level, session.toolbar.level());
  EXPECT_EQ(level, session.panel.level());
  for (const standin::ConsoleLine& line : player.host.console_lines())
    ADD_FAILURE() << "unexpected notice: " << line.level << " " << line.text;
  player.host.volume_listener = nullptr;
  player.close();
  EXPECT_TRUE(player.message_boxes.calls.empty());
  timer_commands = nullptr;
}

TEST(ThreadStress, SlidersEndOnTheHostsLastReportWithoutDeadlock) { stress(true); }

TEST(ThreadStress, ReportsOutsideTheHostsLockNeitherCrashNorHang) { stress(false); }

// What the stress can only hit by chance, made certain: the component reads
// the host's volume, and before that level reaches the sliders a host thread
// reports a newer one. The host has nothing more to report, so every slider
// must end on the newer level. Two reads are open to it: the page selecting
// the host's own volume again, and a new slider reading the level it starts
// at.
TEST(ThreadStress, AReportMadeWhileTheLevelIsReadIsNotUndone) {
  testing_support::Watchdog watchdog(60000);
  for (const bool new_slider : {false, true}) {
    SCOPED_TRACE(new_slider ? "a slider is made" : "the host's own volume is selected again");
    SoakSession session;
    player::Player& player = session.player;
    ASSERT_EQ("", session.open());
    if (!new_slider) player.choose(device_list, 1);
    player.host.change_volume(-1500);
    player::pump();
    bool reported = false;
    player.host.read_listener = [&] {
      if (reported) return;
      reported = true;
      std::thread([&] { player.host.change_volume(-3000); }).join();
    };
    player::Slider toolbar;
    if (new_slider) {
      toolbar = player.add_slider(standin::extension_window::type_toolbar, RECT{10, 40, 530, 60});
    } else {
      player.choose(device_list, 0);
    }
    player.host.read_listener = nullptr;
    ASSERT_TRUE(reported);
    player::pump();

    const int level = dwx::hdb_to_level(-3000);
    EXPECT_EQ(level, session.toolbar.level());
    EXPECT_EQ(level, session.panel.level());
    if (toolbar.object) {
      EXPECT_EQ(level, toolbar.level());
    }
  }
}

}  // namespace
