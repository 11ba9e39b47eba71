// The pure pieces measured natively. Without arguments (or with Google
// Benchmark's flags) it times each operation and prints one table row per
// operation; with --count it runs each operation a fixed number of times
// between callgrind's collection toggles, one dump per operation, and prints
// what run.sh needs to turn the dumps into rows.
#include <benchmark/benchmark.h>
#include <valgrind/callgrind.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "backend/volume_scale.h"
#include "frame/config.h"
#include "text/text_copy.h"
#include "text/utf8_string.h"
#include "text/utf_codec.h"

// Calls into the heap, counted. The link wraps these for this program's own
// objects and the component's; the benchmark library and the C++ runtime are
// shared libraries and keep the real ones.
namespace {
uint64_t heap_calls = 0;
}

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);

void* __wrap_malloc(size_t size) {
  ++heap_calls;
  return __real_malloc(size);
}
void* __wrap_calloc(size_t count, size_t size) {
  ++heap_calls;
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* block, size_t size) {
  ++heap_calls;
  return __real_realloc(block, size);
}
// Freeing null reaches no heap.
void __wrap_free(void* block) {
  if (block != nullptr) ++heap_calls;
  __real_free(block);
}
}

namespace {

// Inputs spread over the scale; a power of two, so the index wraps with a mask.
constexpr uint32_t input_count = 1024;
dwx::VolumeLevel levels[input_count];
int32_t hdbs[input_count];

// The component's three settings, constructed in its order.
struct Settings {
  dwx::ConfigList list;
  dwx::ConfigInt id{list, "mixer_id"};
  dwx::ConfigInt control{list, "mixer_control"};
  dwx::ConfigInt mute{list, "mixer_mute_level"};
};

// The host's side of a write, without the host's own cost: bytes go to a
// fixed array.
class ArrayWriter final : public dwx::ConfigWriter {
 public:
  bool write(const void* bytes, uint32_t count) override {
    if (count > sizeof bytes_ - size_) return false;
    memcpy(bytes_ + size_, bytes, count);
    size_ += count;
    return true;
  }
  void clear() { size_ = 0; }
  const uint8_t* data() const { return bytes_; }
  uint32_t size() const { return size_; }

 private:
  uint8_t bytes_[256];
  uint32_t size_ = 0;
};

Settings settings;
ArrayWriter written;  // the blob the component writes, which it reads back
ArrayWriter writer;   // the write benchmark's

// A level as the slider's tooltip shows it, and a long text mixing ASCII
// with two-, three- and four-byte UTF-8 (the last a surrogate pair in UTF-16).
const char short_utf8[] = "-12.04 dB";
const char16_t short_utf16[] = u"-12.04 dB";
const char phrase_utf8[] =
    "Master volume, Lautst\u00e4rke \u97f3\u91cf "
    "\u0433\u0440\u043e\u043c\u043a\u043e\u0441\u0442\u044c \U0001F50A; ";
const char16_t phrase_utf16[] =
    u"Master volume, Lautst\u00e4rke \u97f3\u91cf "
    u"\u0433\u0440\u043e\u043c\u043a\u043e\u0441\u0442\u044c \U0001F50A; ";
std::string long_utf8;
std::u16string long_utf16;
// Destinations that hold any text of those lengths.
std::vector<char16_t> wide;
std::vector<char> narrow;

void prepare_inputs() {
  for (uint32_t i = 0; i < input_count; ++i) {
    levels[i] = static_cast<dwx::VolumeLevel>(i * 1100 / (input_count - 1));
    hdbs[i] = -6100 + static_cast<int32_t>(i * 6500 / (input_count - 1));
  }
  settings.id.set(2);
  settings.control.set(1);
  settings.mute.set(430);
  settings.list.write(written);
  while (long_utf8.size() < 4096) {
    long_utf8 += phrase_utf8;
    long_utf16 += phrase_utf16;
  }
  wide.resize(long_utf8.size() + 1);
  narrow.resize(3 * long_utf16.size() + 1);
}

struct Operation {
  std::string key;  // the benchmark's name, and its callgrind dump's
  std::string what;
  std::string setting;
  uint32_t counted_calls;              // how many calls one instruction count averages
  std::function<void(uint32_t)> loop;  // that many calls, one after the other
};

std::vector<Operation> operations;

// Registers `call` (given the call's index) both ways.
template <class Call>
void add(const char* key, const char* what, const std::string& setting, uint32_t counted_calls,
         Call call) {
  operations.push_back({key, what, setting, counted_calls, [call](uint32_t calls) {
                          for (uint32_t i = 0; i < calls; ++i)
                            call(i);
                        }});
  benchmark::RegisterBenchmark(key, [call](benchmark::State& state) {
    const uint64_t heap_before = heap_calls;
    uint32_t i = 0;
    for (auto _ : state)
      call(i++);
    state.counters["heap"] = benchmark::Counter(static_cast<double>(heap_calls - heap_before),
                                                benchmark::Counter::kAvgIterations);
  });
}

void add_operations() {
  add("level_to_hdb", "level_to_hdb", "native, 1024 levels from 0 to 1100", input_count,
      [](uint32_t i) { benchmark::DoNotOptimize(dwx::level_to_hdb(levels[i % input_count])); });
  add("hdb_to_level", "hdb_to_level", "native, 1024 values from -6100 to 400 hdb", input_count,
      [](uint32_t i) { benchmark::DoNotOptimize(dwx::hdb_to_level(hdbs[i % input_count])); });

  const std::string blob = "native, the 3 settings, " + std::to_string(written.size()) + " bytes";
  add("config_read", "ConfigList::read", blob, 1024, [](uint32_t) {
    settings.list.read(written.data(), written.size());
    benchmark::ClobberMemory();
  });
  add("config_write", "ConfigList::write", blob, 1024, [](uint32_t) {
    writer.clear();
    settings.list.write(writer);
    benchmark::ClobberMemory();
  });

  const std::string short_text = "native, -12.04 dB (9 chars)";
  const std::string long_text = "native, mixed text of " + std::to_string(long_utf8.size()) +
                                " bytes, " + std::to_string(long_utf16.size()) + " units";
  add("utf8_to_utf16_short", "utf8_to_utf16", short_text, 1024, [](uint32_t) {
    benchmark::DoNotOptimize(
        dwx::utf8_to_utf16(short_utf8, {wide.data(), uint32_t(wide.size())}, dwx::unbounded));
  });
  add("utf8_to_utf16_long", "utf8_to_utf16", long_text, 64, [](uint32_t) {
    benchmark::DoNotOptimize(dwx::utf8_to_utf16(
        long_utf8.c_str(), {wide.data(), uint32_t(wide.size())}, dwx::unbounded));
  });
  add("utf16_to_utf8_short", "utf16_to_utf8", short_text, 1024, [](uint32_t) {
    benchmark::DoNotOptimize(
        dwx::utf16_to_utf8(short_utf16, {narrow.data(), uint32_t(narrow.size())}, dwx::unbounded));
  });
  add("utf16_to_utf8_long", "utf16_to_utf8", long_text, 64, [](uint32_t) {
    benchmark::DoNotOptimize(dwx::utf16_to_utf8(
        long_utf16.c_str(), {narrow.data(), uint32_t(narrow.size())}, dwx::unbounded));
  });
  // As the error texts are made: a new string, set once.
  add("utf8_string_short", "new Utf8String, set_from_utf16", short_text, 1024, [](uint32_t) {
    dwx::Utf8String text(dwx::GrowthMode::exact);
    text.set_from_utf16(short_utf16, dwx::unbounded);
    benchmark::DoNotOptimize(text.c_str());
  });
  add("utf8_string_long", "new Utf8String, set_from_utf16", long_text, 64, [](uint32_t) {
    dwx::Utf8String text(dwx::GrowthMode::exact);
    text.set_from_utf16(long_utf16.c_str(), dwx::unbounded);
    benchmark::DoNotOptimize(text.c_str());
  });
}

// Whole numbers as such, anything else with two decimals.
std::string format_calls(double calls) {
  char text[32];
  if (calls == static_cast<double>(static_cast<uint64_t>(calls))) {
    snprintf(text, sizeof text, "%llu", static_cast<unsigned long long>(calls));
  } else {
    snprintf(text, sizeof text, "%.2f", calls);
  }
  return text;
}

// One row per operation: the median CPU time per call over the repetitions,
// +- half their interquartile range. CPU time, because the machine is shared:
// time spent descheduled is not the component's.
class TableReporter final : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context& context) override {
    PrintBasicContext(&std::cerr, context);
    return true;
  }

  void ReportRuns(const std::vector<Run>& runs) override {
    std::vector<double> times;
    double heap = 0;
    const Operation* operation = nullptr;
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      times.push_back(run.GetAdjustedCPUTime());
      heap = run.counters.at("heap");
      for (const Operation& candidate : operations) {
        if (candidate.key == run.run_name.function_name) operation = &candidate;
      }
    }
    if (times.empty() || operation == nullptr) return;
    std::sort(times.begin(), times.end());
    const auto quantile = [&](double q) {
      return times[static_cast<size_t>(q * static_cast<double>(times.size() - 1) + 0.5)];
    };
    printf("| %s | %s | %.1f ns \u00b1%.1f | - | - | - | %s |\n", operation->what.c_str(),
           operation->setting.c_str(), quantile(0.5), (quantile(0.75) - quantile(0.25)) / 2,
           format_calls(heap).c_str());
    fflush(stdout);
  }
};

// Each operation once to warm up (lazy binding, first allocations), then
// counted_calls times under collection. Prints, tab-separated: key, calls,
// heap calls per call, what, setting.
int count_instructions() {
  for (const Operation& operation : operations) {
    operation.loop(operation.counted_calls);
    const uint64_t heap_before = heap_calls;
    CALLGRIND_TOGGLE_COLLECT;
    operation.loop(operation.counted_calls);
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(operation.key.c_str());
    const double heap = static_cast<double>(heap_calls - heap_before) / operation.counted_calls;
    printf("%s\t%u\t%s\t%s\t%s\n", operation.key.c_str(), operation.counted_calls,
           format_calls(heap).c_str(), operation.what.c_str(), operation.setting.c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  prepare_inputs();
  add_operations();
  if (argc == 2 && strcmp(argv[1], "--count") == 0) return count_instructions();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
