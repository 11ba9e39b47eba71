// The paths a user drives, measured through the real DLL in the stand-in
// host, each against the bare messages it comes down to.
//
// Every path runs at 1, 8 and 64 sliders and with two kinds of windows:
//   real        the component's own Wine trackbars and tracking tooltip,
//               what the user sees;
//   do-nothing  every trackbar and tooltip the component creates is a quiet
//               window that returns at once (quiet_windows.h), and the
//               host's volume service only stores the value and calls the
//               play callbacks: what remains is the component's own work
//               and the bare cost of each message.
//
// The baseline of a path is the messages it comes down to. Two operations
// (the two directions the bench alternates between) are done through the
// component while its import table records every message it sends, posts or
// notifies, on every thread, along with the bench's own entry message
// (message_replay.h). The baseline then sends exactly those messages, on the
// same threads and in the same order, to twins of the windows they reached:
// Wine controls for Wine controls, quiet windows for quiet ones and for the
// component's own windows. So it cannot drift from what the component does.
//
// Component (A) and baseline (B) rounds alternate, ABAB..., each timing K
// operations, K chosen from a first measure so that a round of the
// component takes about 15 ms (at least 3 operations: a drag step with the
// real tooltip takes milliseconds). Per operation: each side's median over
// the rounds and half its interquartile range; the median and quartiles of
// the paired differences, each round's A − B; and the heap calls the DLL
// makes through its C runtime imports during the A rounds.
//
// One more path measures a single subclass hop: a message the toolbar's
// trackbar subclass passes on to the trackbar (through uCallWindowProc and
// Wine's CallWindowProcW), against the same message to a window that
// answers it at once. A drag step makes four such hops.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "host_thread.h"
#include "message_replay.h"
#include "rounds.h"
#include "session.h"
#include "standin_host/extension_window.h"
#include "standin_host/menu_items.h"

namespace {

using namespace bench;

struct Options {
  int rounds = 41;
  double round_us = 15000;
};

struct Path {
  const char* what;
  // The operation starts with the host's call on a thread of its own; the
  // UI thread then handles what reached it, and the operation ends when it
  // has nothing left.
  bool foreign;
  std::function<void(size_t n)> operate;
  std::function<void()> begin = nullptr;
  std::function<void()> end = nullptr;
};

struct Row {
  int path, sliders, controls;  // the order of the table
  std::string what, setting;
  int k;
  Spread component, baseline, difference;
  double heap_calls;
};

// The messages other threads sent or posted here; painting waits for the
// end of the round, as on every other path.
void drain_sent_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE)) {
    DispatchMessageW(&message);
  }
}

// A drag alternates between two points of the trackbar, so that every move is a new level.
LPARAM drag_point(size_t n) { return MAKELPARAM(n % 2 ? 250 : 100, 15); }

// Two host volumes, in hundredths of a decibel, so that every report is a change.
int host_hdb(size_t n) { return n % 2 ? -1500 : -1000; }

std::vector<Path> host_volume_paths(Session& session) {
  HWND trackbar = session.trackbar();
  POINT centre = {220, 15};
  ClientToScreen(trackbar, &centre);
  const LPARAM wheel_at = MAKELPARAM(centre.x, centre.y);
  standin::Host& host = session.host();
  void* menu_items = session.menu_items();
  return {
      {"drag step", false,
       [trackbar](size_t n) { send_entry(trackbar, WM_MOUSEMOVE, MK_LBUTTON, drag_point(n)); },
       [trackbar] { SendMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, drag_point(1)); },
       [trackbar] { SendMessageW(trackbar, WM_LBUTTONUP, 0, drag_point(1)); }},
      {"wheel notch", false,
       [trackbar, wheel_at](size_t n) {
         const auto delta = static_cast<WORD>(n % 2 ? -WHEEL_DELTA : WHEEL_DELTA);
         send_entry(trackbar, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), wheel_at);
       }},
      {"Volume up/down", false,
       [menu_items](size_t n) { standin::MenuItems(menu_items).perform(n % 2 ? 1 : 0); }},
      {"host change, UI thread", false, [&host](size_t n) { host.change_volume(host_hdb(n)); }},
      {"host change, foreign thread", true, [&host](size_t n) { host.change_volume(host_hdb(n)); }},
  };
}

// A position query the subclass does not handle itself: it goes on to the
// trackbar, and the trackbar answers with no further message.
Path subclass_hop_path(Session& session) {
  HWND trackbar = session.trackbar();
  return {"subclass hop: TBM_GETPOS", false,
          [trackbar](size_t) { send_entry(trackbar, TBM_GETPOS, 0, 0); }};
}

Path mixer_path(Session& session) {
  testing_support::ScriptedMixer* mixer = session.mixer();
  return {"mixer notification", false, [mixer](size_t n) {
            // Another program moved the control: the mixer tells the callback window.
            mixer->set_value(Session::mixer_control, n % 2 ? 20000 : 40000);
            send_entry(mixer->callback_window(), MM_MIXM_CONTROL_CHANGE,
                       reinterpret_cast<WPARAM>(mixer->handle_of(0)), Session::mixer_control);
          }};
}

// Times the path through the component and its baseline; false, with the
// reason, when its messages could not be recorded.
bool measure(Session& session, const Path& path, HostThread& host_thread, const Options& options,
             Row* row, std::string* error) {
  size_t on_host_thread = 0;
  const std::function<void()> component_task = [&] { path.operate(on_host_thread); };
  auto component = [&](size_t n) {
    if (!path.foreign) return path.operate(n);
    on_host_thread = n;
    host_thread.run(component_task);
    drain_sent_messages();
  };

  if (path.begin) path.begin();
  size_t a = 0;
  for (int i = 0; i < 4; ++i)  // warming up
    component(a++);
  player::pump();
  // An even number of operations, for at least a millisecond, gives K.
  const double start = now_us();
  double elapsed = 0;
  int measured = 0;
  do {
    component(a++);
    component(a++);
    measured += 2;
    elapsed = now_us() - start;
  } while (elapsed < 1000);
  const double first_measure = elapsed / measured;
  player::pump();

  std::vector<Operation> recorded;
  {
    MessageRecorder recorder(session.module());
    for (int i = 0; i < 2 && recorder.applied(); ++i) {
      component(a++);
      recorded.push_back(recorder.take());
    }
    *error = recorder.applied() ? recorder.error() : "the message imports could not be patched";
  }
  if (!error->empty()) {
    if (path.end) path.end();
    return false;
  }
  // a is even again: operation a of the component and of the replay go the same way.
  Replay replay(std::move(recorded), session.twin_parent());
  const std::function<void()> baseline_task = [&] { replay.play(on_host_thread, false); };
  auto baseline = [&](size_t n) {
    if (path.foreign) {
      on_host_thread = n;
      host_thread.run(baseline_task);
      drain_sent_messages();
    }
    replay.play(n, true);
  };
  size_t b = 0;
  for (int i = 0; i < 4; ++i)
    baseline(b++);
  player::pump();

  const int k = static_cast<int>(
      std::min(100000.0, std::max(3.0, std::round(options.round_us / first_measure))));
  std::vector<double> component_times, baseline_times;
  long heap_calls = 0;
  for (int round = 0; round < options.rounds; ++round) {
    session.heap().start();
    double t = now_us();
    for (int i = 0; i < k; ++i)
      component(a++);
    component_times.push_back((now_us() - t) / k);
    heap_calls += session.heap().stop();
    player::pump();

    t = now_us();
    for (int i = 0; i < k; ++i)
      baseline(b++);
    baseline_times.push_back((now_us() - t) / k);
    player::pump();
  }
  if (path.end) path.end();
  player::pump();

  row->what = path.what;
  row->k = k;
  row->component = spread_of(component_times);
  row->baseline = spread_of(baseline_times);
  row->difference = spread_of(paired_differences(component_times, baseline_times));
  row->heap_calls = static_cast<double>(heap_calls) / (static_cast<double>(k) * options.rounds);
  fprintf(stderr, "  %-28s K=%-5d one operation sends: %s\n", path.what, k,
          replay.summary().c_str());
  return true;
}

std::string setting_of(int sliders, Controls controls) {
  char text[64];
  snprintf(text, sizeof text, "%d slider%s, %s windows", sliders, sliders == 1 ? "" : "s",
           controls == Controls::real ? "real" : "do-nothing");
  return text;
}

std::string count_text(double value) {
  char text[32];
  snprintf(text, sizeof text, value == std::floor(value) ? "%.0f" : "%.2f", value);
  return text;
}

// One line of the shared table: | what | setting | component | baseline | difference | ratio | heap
// calls/op |
void print_row(const Row& row) {
  printf("| %s | %s | %s us \xC2\xB1%s | %s us \xC2\xB1%s | %s | %.2fx | %s |\n", row.what.c_str(),
         row.setting.c_str(), microseconds(row.component.median).c_str(),
         microseconds(row.component.half_iqr()).c_str(), microseconds(row.baseline.median).c_str(),
         microseconds(row.baseline.half_iqr()).c_str(), difference_cell(row.difference).c_str(),
         row.component.median / row.baseline.median, count_text(row.heap_calls).c_str());
}

bool parse(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--quick") == 0) {
      options->rounds = 5;
      options->round_us = 3000;
    } else if (strcmp(argv[i], "--rounds") == 0 && i + 1 < argc) {
      options->rounds = std::max(1, atoi(argv[++i]));
    } else {
      fprintf(stderr, "usage: volume_bench [--quick] [--rounds N]\n");
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse(argc, argv, &options)) return 2;
  standin::init_common_controls();
  fprintf(stderr,
          "The paths a user drives, through dwx_volume.dll in the stand-in host (component), "
          "against\nthe same messages sent directly to windows of the same kind (baseline). "
          "%d rounds of each,\nABAB, each of K operations. Drag: mouse moves between two points "
          "of a pressed toolbar\ntrackbar. Wheel: a notch up, then down. Volume up/down: the "
          "menu commands in turn.\nHost change: the host's play callback with a new volume, on "
          "the UI thread or on a\nthread of its own (then until the UI thread has handled what "
          "reached it). Mixer\nnotification: MM_MIXM_CONTROL_CHANGE from a scripted mixer. "
          "The other sliders are\npanels and toolbars in turn. Subclass hop: TBM_GETPOS to the "
          "toolbar's subclassed trackbar,\nwhich passes it on. Difference: the median of each "
          "round's A - B, [its quartiles].\n",
          options.rounds);

  HostThread host_thread;
  std::vector<Row> rows;
  bool failed = false;
  const Controls kinds[] = {Controls::real, Controls::quiet};
  const int counts[] = {1, 8, 64};
  for (int controls = 0; controls < 2; ++controls) {
    for (int count = 0; count < 3; ++count) {
      for (bool mixer : {false, true}) {
        const std::string setting = setting_of(counts[count], kinds[controls]);
        fprintf(stderr, "%s%s:\n", setting.c_str(), mixer ? ", a mixer selected" : "");
        Session session(kinds[controls], counts[count], mixer);
        if (!session.error().empty()) {
          fprintf(stderr, "  no session: %s\n", session.error().c_str());
          failed = true;
          continue;
        }
        std::vector<Path> paths =
            mixer ? std::vector<Path>{mixer_path(session)} : host_volume_paths(session);
        // A hop costs the same whatever the number of sliders.
        if (!mixer && counts[count] == 1) paths.push_back(subclass_hop_path(session));
        for (size_t p = 0; p < paths.size(); ++p) {
          Row row;
          std::string error;
          if (!measure(session, paths[p], host_thread, options, &row, &error)) {
            fprintf(stderr, "  %s: not measured: %s\n", paths[p].what, error.c_str());
            failed = true;
            continue;
          }
          row.path = mixer ? 6 : static_cast<int>(p);  // the mixer's rows last
          row.sliders = count;
          row.controls = controls;
          row.setting = setting;
          rows.push_back(row);
        }
      }
    }
  }
  std::sort(rows.begin(), rows.end(), [](const Row& x, const Row& y) {
    return std::tie(x.path, x.sliders, x.controls) < std::tie(y.path, y.sliders, y.controls);
  });
  for (const Row& row : rows)
    print_row(row);
  return failed ? 1 : 0;
}
