// The volume scale and its decibel mapping.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "backend/volume_scale.h"

namespace {

using dwx::hdb_to_level;
using dwx::level_to_hdb;

// Every value the scale is known by, and every level's way there and back.
void expect_the_scale() {
  const struct {
    int level, hdb, back;
  } levels[] = {{0, -6000, 0},     {1, -6000, 0},    {2, -5397, 2},    {10, -4000, 10},
                {100, -2000, 100}, {500, -602, 500}, {707, -301, 707}, {999, 0, 1000},
                {1000, 0, 1000},   {-5, -6000, 0}};
  for (const auto& c : levels) {
    EXPECT_EQ(c.hdb, level_to_hdb(c.level)) << "level " << c.level;
    EXPECT_EQ(c.back, hdb_to_level(level_to_hdb(c.level))) << "level " << c.level;
  }

  const struct {
    int hdb, level;
  } hdbs[] = {{0, 1000},  {-1, 998},  {-50, 944},  {-1000, 316},
              {-5999, 0}, {-6000, 0}, {-10000, 0}, {100, 1122}};
  for (const auto& c : hdbs)
    EXPECT_EQ(c.level, hdb_to_level(c.hdb)) << "hdb " << c.hdb;

  // Both directions truncate: 1 reads as silence, and a few levels near the
  // top land one step up.
  const std::vector<std::pair<int, int>> expected = {{1, 0},     {876, 877}, {911, 912}, {929, 930},
                                                     {943, 944}, {955, 956}, {965, 966}, {975, 976},
                                                     {983, 984}, {992, 993}, {999, 1000}};
  std::vector<std::pair<int, int>> changed;
  for (int level = 0; level <= 1000; ++level) {
    const int back = hdb_to_level(level_to_hdb(level));
    if (back != level) changed.emplace_back(level, back);
  }
  EXPECT_EQ(expected, changed);
}

TEST(VolumeScale, LevelsAndDecibelsBothWays) { expect_the_scale(); }

// A host built with another compiler runs at 53 bits, Direct3D sets 24; the
// runtime starts at 64.
#if defined(_WIN32) && !defined(_WIN64)
// Each conversion as (argument, result), hundredths -6000 to 12663 and
// levels 0 to 1000: the whole range where results differ.
std::vector<std::pair<int, int>> all_conversions() {
  std::vector<std::pair<int, int>> all;
  for (int hdb = -6000; hdb <= 12663; ++hdb)
    all.emplace_back(hdb, hdb_to_level(hdb));
  for (int level = 0; level <= 1000; ++level)
    all.emplace_back(level, level_to_hdb(level));
  return all;
}

TEST(VolumeScale, TheSameAtEveryX87Precision) {
  const std::vector<std::pair<int, int>> at_start = all_conversions();
  const unsigned saved = _controlfp(0, 0);
  const std::pair<int, unsigned> precisions[] = {{24, _PC_24}, {53, _PC_53}, {64, _PC_64}};
  for (const auto& [bits, precision] : precisions) {
    SCOPED_TRACE(testing::Message() << bits << "-bit precision");
    _controlfp(precision, _MCW_PC);
    expect_the_scale();
    const std::vector<std::pair<int, int>> now = all_conversions();
    std::vector<std::pair<int, int>> changed;
    for (size_t i = 0; i < now.size(); ++i) {
      if (now[i] != at_start[i]) changed.push_back(now[i]);
    }
    EXPECT_EQ((std::vector<std::pair<int, int>>{}), changed) << "(argument, result) pairs";
  }
  _controlfp(saved, _MCW_PC);
}
#else
TEST(VolumeScale, TheSameAtEveryX87Precision) {
  GTEST_SKIP() << "only 32-bit x86 computes doubles on the x87 unit, whose precision a thread sets";
}
#endif

// Checked against the formula in long double, away from whole results, which
// are pinned above and below.
TEST(VolumeScale, EveryValueTruncatesTheExactResult) {
  for (int hdb = -6000; hdb <= 12663; ++hdb) {
    const long double exact = 1000.0L * std::pow(10.0L, hdb / 2000.0L);
    if (std::fabs(exact - std::round(exact)) < 1e-6L) continue;
    const int64_t level = static_cast<int64_t>(exact);
    EXPECT_EQ(level == 1 ? 0 : level, hdb_to_level(hdb)) << "hdb " << hdb;
  }
  for (int level = 1; level <= 1000; ++level) {
    const long double exact = 2000.0L * std::log10(level / 1000.0L);
    if (std::fabs(exact - std::round(exact)) < 1e-6L) continue;
    EXPECT_EQ(static_cast<int>(exact), level_to_hdb(level)) << "level " << level;
  }
}

TEST(VolumeScale, AnyHostValueGivesALevelAboveFullVolumeUpToTheLargest) {
  const struct {
    int32_t hdb, level;
  } cases[] = {{INT32_MIN, 0},       {-1000000, 0},         {2000, 10000},
               {4000, 100000},       {11985, 982878873},  // within 0.00004 of the next level
               {12663, 2145359115},  {12664, INT32_MAX},    {13000, INT32_MAX},
               {1000000, INT32_MAX}, {INT32_MAX, INT32_MAX}};
  for (const auto& c : cases)
    EXPECT_EQ(c.level, hdb_to_level(c.hdb)) << "hdb " << c.hdb;

  // The other way, too: truncation toward zero is downward up here.
  const struct {
    int32_t level, hdb;
  } levels[] = {{1001, 0}, {1122, 99}, {10000, 2000}, {2145359115, 12662}, {INT32_MAX, 12663}};
  for (const auto& c : levels)
    EXPECT_EQ(c.hdb, level_to_hdb(c.level)) << "level " << c.level;
}

}  // namespace
