// The volume commands' arithmetic, natively under the sanitizers, from every
// level the host's volume can give: above full volume up to the largest
// int32, which hdb_to_level gives from +126.64 dB.
#include "commands/command_level.h"

#include <gtest/gtest.h>

#include <climits>

namespace dwx {
namespace {

TEST(CommandLevelTest, EveryCommandLandsOnTheScaleFromAnyLevel) {
  constexpr VolumeCommand up = VolumeCommand::up, down = VolumeCommand::down,
                          mute = VolumeCommand::mute;
  const struct {
    VolumeCommand command;
    VolumeLevel level;
    int32_t kept;  // mixer_mute_level before
    VolumeLevel expected;
    int32_t kept_after;
  } cases[] = {
      {up, 500, 0, 515, 0},
      {up, 990, 0, 1000, 0},
      {up, 1000, 0, 1000, 0},
      {up, 1122, 0, 1000, 0},  // +1 dB
      {up, INT32_MAX, 0, 1000, 0},
      {up, INT32_MIN, 0, 15, 0},
      {down, 500, 0, 485, 0},
      {down, 10, 0, 0, 0},
      {down, 0, 0, 0, 0},
      {down, 1122, 0, 985, 0},  // from full volume, where the scale ends
      {down, INT32_MAX, 0, 985, 0},
      {down, INT32_MIN, 0, 0, 0},
      {mute, 640, 0, 0, 640},
      {mute, 0, 640, 640, 0},
      {mute, 0, 0, 0, 0},
      {mute, INT32_MAX, 0, 0, 1000},
      {mute, 0, 5000, 1000, 0},  // the blob may have been edited by hand
      {mute, 0, -20, 0, 0},
  };
  for (const auto& c : cases) {
    ConfigList list;
    ConfigInt kept(list, "mixer_mute_level");
    kept.set(c.kept);
    EXPECT_EQ(c.expected, level_after(c.command, c.level, kept))
        << "command " << static_cast<int>(c.command) << " at " << c.level;
    EXPECT_EQ(c.kept_after, kept.value())
        << "command " << static_cast<int>(c.command) << " at " << c.level;
  }
}

}  // namespace
}  // namespace dwx
