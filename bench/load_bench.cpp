// What a player's whole life with the component costs it (load, start, stop,
// unload, no windows), against the same steps with an empty library built
// the same way, measured in turns in the same run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "standin_host/host.h"
#include "standin_host/loaded_component.h"
#include "support/heap_calls.h"
#include "rounds.h"

namespace {

using bench::microseconds;
using bench::now_us;
using bench::Spread;
using bench::spread_of;

constexpr int rounds = 31;
constexpr int cycles_per_round = 40;
constexpr int counted_cycles = 5;

const wchar_t* const component_dll = L"dwx_volume.dll";
const wchar_t* const empty_dll = L"empty_component.dll";

enum Phase { whole_cycle, load_phase, start_stop_phase, unload_phase, phase_count };

struct PhaseRow {
  const char* what;
  bool heap_counted;  // the load's heap calls happen before anything can be patched
};
constexpr PhaseRow phase_rows[phase_count] = {
    {"player's life: load, start, stop, unload", true},
    {"load: LoadLibrary and entry call", false},
    {"start and stop", true},
    {"unload: FreeLibrary", true},
};

// Microseconds per phase, summed over the cycles of one round.
struct Timings {
  double phase[phase_count] = {};
};

std::string narrow(const wchar_t* text) {
  char out[MAX_PATH] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr);
  return out;
}

// One cycle, each phase timed; false, with the reason on stderr, when the
// library did not load or stayed loaded after its unload.
bool cycle(standin::LoadedComponent& component, const wchar_t* dll, Timings& timings) {
  const double start = now_us();
  if (!component.load(dll)) {
    fprintf(stderr, "%s: %s\n", narrow(dll).c_str(), component.error().c_str());
    return false;
  }
  const double loaded = now_us();
  component.start();
  component.stop();
  const double stopped = now_us();
  component.unload();
  const double unloaded = now_us();
  timings.phase[load_phase] += loaded - start;
  timings.phase[start_stop_phase] += stopped - loaded;
  timings.phase[unload_phase] += unloaded - stopped;
  timings.phase[whole_cycle] += unloaded - start;
  // A library that stays mapped would make the next load cost nothing.
  if (GetModuleHandleW(dll) != nullptr) {
    fprintf(stderr, "%s is still loaded after its unload\n", narrow(dll).c_str());
    return false;
  }
  return true;
}

// Heap calls per cycle and phase, averaged over a few cycles. The patches go
// in after the load and stay until the unload has run the library's
// clean-ups; the module may come back at the same address next time, so
// they are dropped before the next load.
bool count_heap_calls(standin::LoadedComponent& component, const wchar_t* dll,
                      double calls[phase_count]) {
  for (int i = 0; i < counted_cycles; ++i) {
    if (!component.load(dll)) {
      fprintf(stderr, "%s: %s\n", narrow(dll).c_str(), component.error().c_str());
      return false;
    }
    testing_support::HeapCalls counter(component.module());
    counter.start();
    component.start();
    component.stop();
    calls[start_stop_phase] += counter.stop();
    counter.start();
    component.unload();
    calls[unload_phase] += counter.stop();
  }
  calls[start_stop_phase] /= counted_cycles;
  calls[unload_phase] /= counted_cycles;
  calls[whole_cycle] = calls[start_stop_phase] + calls[unload_phase];
  return true;
}

}  // namespace

int main() {
  // A player has these loaded for itself: without them each unload would take
  // winmm along (and Wine's msacm32 with it), and each load bring it back.
  const HMODULE kept[] = {LoadLibraryW(L"winmm.dll"), LoadLibraryW(L"utf8api.dll")};
  for (HMODULE module : kept) {
    if (module == nullptr) {
      fprintf(stderr, "winmm.dll or utf8api.dll did not load\n");
      return 1;
    }
  }

  standin::Host host;
  host.record = false;  // the host's own bookkeeping is not what is measured
  standin::LoadedComponent component(host);

  const int bits = static_cast<int>(sizeof(void*) * 8);
  fprintf(stderr,
          "load_bench (%d-bit): the stand-in host loads, starts, stops and unloads a library.\n"
          "Component: %s; baseline: %s, an empty client with no services, built\n"
          "with the same options. %d rounds of %d cycles, the two libraries in turns; per\n"
          "cycle, the median of the rounds and half their interquartile range, and the\n"
          "median of each round's difference with [its quartiles].\n",
          bits, narrow(component_dll).c_str(), narrow(empty_dll).c_str(), rounds, cycles_per_round);

  // One cycle each first: the disk cache and Wine's own first-time work.
  Timings warm_up;
  if (!cycle(component, component_dll, warm_up) || !cycle(component, empty_dll, warm_up)) return 1;

  std::vector<double> samples[2][phase_count];
  const wchar_t* const dlls[2] = {component_dll, empty_dll};
  for (int round = 0; round < rounds; ++round) {
    for (int which = 0; which < 2; ++which) {
      Timings timings;
      for (int i = 0; i < cycles_per_round; ++i) {
        if (!cycle(component, dlls[which], timings)) return 1;
      }
      for (int phase = 0; phase < phase_count; ++phase) {
        samples[which][phase].push_back(timings.phase[phase] / cycles_per_round);
      }
    }
  }

  double heap_calls[2][phase_count] = {};
  for (int which = 0; which < 2; ++which) {
    if (!count_heap_calls(component, dlls[which], heap_calls[which])) return 1;
  }
  fprintf(stderr,
          "Heap calls per cycle: malloc, calloc, realloc and free through the library's msvcrt\n"
          "imports, counted from after its load to the end of its unload; the load's own (its\n"
          "static initialisers) run before an import can be patched, hence '-' there. The\n"
          "empty library made %g.\n",
          heap_calls[1][whole_cycle]);

  char setting[16];
  snprintf(setting, sizeof setting, "%d-bit", bits);
  for (int phase = 0; phase < phase_count; ++phase) {
    const Spread a = spread_of(samples[0][phase]);
    const Spread b = spread_of(samples[1][phase]);
    const Spread difference =
        spread_of(bench::paired_differences(samples[0][phase], samples[1][phase]));
    char heap[16] = "-";
    if (phase_rows[phase].heap_counted) snprintf(heap, sizeof heap, "%g", heap_calls[0][phase]);
    printf("| %s | %s | %s us ±%s | %s us ±%s | %s | %.2fx | %s |\n", phase_rows[phase].what,
           setting, microseconds(a.median).c_str(), microseconds(a.half_iqr()).c_str(),
           microseconds(b.median).c_str(), microseconds(b.half_iqr()).c_str(),
           bench::difference_cell(difference).c_str(), a.median / b.median, heap);
  }
  return 0;
}
