// The volume scale and its decibel mapping.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "backend/volume_scale.h"

namespace {

using dwx::hdb_to_level;
using dwx::level_to_hdb;

TEST(VolumeScale, LevelsToDecibelsAndBack) {
  const struct {
    int level, hdb, back;
  } cases[] = {{0, -6000, 0},     {1, -6000, 0},    {2, -5397, 2},    {10, -4000, 10},
               {100, -2000, 100}, {500, -602, 500}, {707, -301, 707}, {999, 0, 1000},
               {1000, 0, 1000},   {-5, -6000, 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(c.hdb, level_to_hdb(c.level)) << "level " << c.level;
    EXPECT_EQ(c.back, hdb_to_level(level_to_hdb(c.level))) << "level " << c.level;
  }
}

TEST(VolumeScale, DecibelsToLevels) {
  const struct {
    int hdb, level;
  } cases[] = {{0, 1000},  {-1, 998},  {-50, 944},  {-1000, 316},
               {-5999, 0}, {-6000, 0}, {-10000, 0}, {100, 1122}};
  for (const auto& c : cases)
    EXPECT_EQ(c.level, hdb_to_level(c.hdb)) << "hdb " << c.hdb;
}

TEST(VolumeScale, ExactlyTheseLevelsComeBackChanged) {
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

}  // namespace
