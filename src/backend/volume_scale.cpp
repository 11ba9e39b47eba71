// Levels to hundredths of a decibel and back, by a table and integer arithmetic.
#include "backend/volume_scale.h"

namespace dwx {

namespace {

constexpr int32_t floor_hdb = -6000;
// 20 dB: ten times the amplitude.
constexpr int32_t hdb_per_decade = 2000;
// Seven decades above full volume lie beyond the largest level there is.
constexpr int32_t loudest_hdb = 7 * hdb_per_decade;
constexpr VolumeLevel largest_level = INT32_MAX;

// The library's pow and log10 compute on the x87 unit at whatever precision
// the calling thread has set (a host built elsewhere runs at 53 bits,
// Direct3D sets 24), and several levels land exactly on a whole number of
// hundredths, where one bit less truncates a step off. So the compiler works
// out the amplitude ratios, and every conversion is integer arithmetic on
// them: exact, whatever the thread's FPU state.
//
// A ratio for each of the 2000 steps of a decade would take 16 KB, a third of
// the DLL; two small tables and one 64-bit product per lookup give the same
// ratios: 10^(-step/2000) = coarse[step / 40] * fine[step % 40].
constexpr int half_bits = 26;
constexpr int fraction_bits = 2 * half_bits;
constexpr int steps_per_coarse = 40;
constexpr int coarse_count = hdb_per_decade / steps_per_coarse;
// The two factors carry 63 fraction bits: their product is good to far below
// the 52 bits a ratio keeps.
constexpr int factor_bits = 63;

// e^x for 0 <= x < 2.31, where the series converges with terms of one sign.
constexpr long double exp_series(long double x) {
  long double sum = 1, term = 1;
  for (int n = 1; term > sum * 1e-21L; ++n) {
    term = term * x / n;
    sum += term;
  }
  return sum;
}

// 10^(-step/2000) with factor_bits fraction bits.
constexpr uint64_t factor(int step) {
  constexpr long double ln10 = 2.302585092994045684017991454684364208L;
  constexpr long double one = static_cast<long double>(uint64_t{1} << factor_bits);
  return static_cast<uint64_t>(one / exp_series(step * ln10 / hdb_per_decade) + 0.5L);
}

template <int count, int stride>
struct FactorTable {
  uint64_t value[count];
};

template <int count, int stride>
constexpr FactorTable<count, stride> make_factors() {
  FactorTable<count, stride> table = {};
  for (int i = 0; i < count; ++i)
    table.value[i] = factor(i * stride);
  return table;
}

constexpr auto coarse = make_factors<coarse_count, steps_per_coarse>();
constexpr auto fine = make_factors<steps_per_coarse, 1>();

// The high 64 bits of the 128-bit product, from 32-bit halves: 32-bit x86
// has no wider multiply.
uint64_t high_product(uint64_t a, uint64_t b) {
  const uint64_t a_low = a & 0xFFFFFFFFu, a_high = a >> 32;
  const uint64_t b_low = b & 0xFFFFFFFFu, b_high = b >> 32;
  const uint64_t low_low = a_low * b_low, low_high = a_low * b_high, high_low = a_high * b_low;
  const uint64_t middle = (low_low >> 32) + (low_high & 0xFFFFFFFFu) + (high_low & 0xFFFFFFFFu);
  return a_high * b_high + (low_high >> 32) + (high_low >> 32) + (middle >> 32);
}

// 10^(-step/2000) with fraction_bits fraction bits, rounded, for step in 0..1999.
uint64_t ratio_at(int32_t step) {
  // The product has 2 * factor_bits fraction bits, its high half 62.
  constexpr int drop = 2 * factor_bits - 64 - fraction_bits;
  const uint64_t product =
      high_product(coarse.value[step / steps_per_coarse], fine.value[step % steps_per_coarse]);
  return (product + (uint64_t{1} << (drop - 1))) >> drop;
}

constexpr uint64_t powers_of_ten[] = {1,       10,       100,       1000,       10000,      100000,
                                      1000000, 10000000, 100000000, 1000000000, 10000000000};

// 1000 times 10^decades, for -3 <= decades <= 7: at most 10^10 (34 bits).
uint64_t level_of_decade(int32_t decades) { return powers_of_ten[decades + 3]; }

// trunc(ratio * power), the ratio with fraction_bits fraction bits: each
// half of the 53-bit ratio times a 34-bit power stays within 64 bits.
uint64_t scaled(uint64_t ratio, uint64_t power) {
  const uint64_t high = (ratio >> half_bits) * power;
  const uint64_t low = (ratio & ((uint64_t{1} << half_bits) - 1)) * power;
  return (high + (low >> half_bits)) >> half_bits;
}

// The ratio of a step that is a whole number of coarse steps, which needs no
// wide product: the fine factor is exactly one.
uint64_t coarse_ratio_at(int32_t coarse_step) {
  constexpr int drop = factor_bits - fraction_bits;
  return (coarse.value[coarse_step] + (uint64_t{1} << (drop - 1))) >> drop;
}

// trunc(1000 * 10^(hdb/2000)) for floor_hdb <= hdb <= loudest_hdb; at most 10^10.
uint64_t level_at(int32_t hdb) {
  // hdb = 2000 * decades - step, with step in 0..1999.
  const int32_t decades =
      hdb > 0 ? (hdb + hdb_per_decade - 1) / hdb_per_decade : hdb / hdb_per_decade;
  return scaled(ratio_at(hdb_per_decade * decades - hdb), level_of_decade(decades));
}

}  // namespace

int32_t level_to_hdb(VolumeLevel level) {
  // -60 dB lands on 1: the floor.
  if (level <= 1) return floor_hdb;
  const uint64_t wanted = static_cast<uint64_t>(level);
  // The first value of hundredths whose level reaches this one lies in the
  // first decade whose top reaches it, 2000 * decades - step for the
  // largest step whose level still does: found among the coarse steps
  // first, then among the fine ones after it. The search runs on the small
  // tables, as every conversion lies on a drag's path.
  int32_t decades = floor_hdb / hdb_per_decade;
  while (level_of_decade(decades) < wanted)
    ++decades;
  const uint64_t power = level_of_decade(decades);
  int32_t coarse_step = 0, coarse_last = coarse_count - 1;
  while (coarse_step < coarse_last) {
    const int32_t middle = coarse_step + (coarse_last - coarse_step + 1) / 2;
    if (scaled(coarse_ratio_at(middle), power) >= wanted) {
      coarse_step = middle;
    } else {
      coarse_last = middle - 1;
    }
  }
  const int32_t base = coarse_step * steps_per_coarse;
  int32_t fine_step = 0, fine_last = steps_per_coarse - 1;
  while (fine_step < fine_last) {
    const int32_t middle = fine_step + (fine_last - fine_step + 1) / 2;
    if (scaled(ratio_at(base + middle), power) >= wanted) {
      fine_step = middle;
    } else {
      fine_last = middle - 1;
    }
  }
  int32_t first = hdb_per_decade * decades - (base + fine_step);
  // That is the logarithm rounded up, which is truncation toward zero up to
  // full volume. Above it, truncation rounds down: a step less, unless the
  // logarithm is whole, which it is only on a whole decade.
  if (level > level_full && !(first % hdb_per_decade == 0 && level_at(first) == wanted)) {
    --first;
  }
  return first;
}

VolumeLevel hdb_to_level(int32_t hdb) {
  if (hdb < floor_hdb) return level_silence;
  if (hdb > loudest_hdb) return largest_level;
  const uint64_t level = level_at(hdb);
  if (level > static_cast<uint64_t>(largest_level)) return largest_level;
  // -60 dB lands on 1: read it, and anything else that lands there, as silence.
  return level == 1 ? level_silence : static_cast<VolumeLevel>(level);
}

}  // namespace dwx
