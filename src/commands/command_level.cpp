// The volume commands' arithmetic.
#include "commands/command_level.h"

namespace dwx {

namespace {

constexpr VolumeLevel volume_step = 15;

}  // namespace

VolumeLevel level_after(VolumeCommand command, VolumeLevel level, ConfigInt& muted_level) {
  // The level comes from the host or a driver and may lie anywhere: above
  // full volume hdb_to_level gives up to the largest int32, which one more
  // step would overflow. The commands work on the scale.
  level = limit_level(level);
  switch (command) {
    case VolumeCommand::up:
      return level + volume_step > level_full ? level_full : level + volume_step;
    case VolumeCommand::down:
      return level - volume_step < level_silence ? level_silence : level - volume_step;
    case VolumeCommand::mute:
      if (level != level_silence) {
        muted_level.set(level);
        return level_silence;
      } else {
        // The saved level comes from the configuration blob, which anyone may
        // have edited: only a level on the scale goes back to the target.
        const VolumeLevel saved = limit_level(muted_level.value());
        muted_level.set(0);
        return saved;
      }
  }
  return level;
}

}  // namespace dwx
