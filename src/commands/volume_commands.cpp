// Volume up, down and mute: what the host shows for them and what they do.
#include "commands/volume_commands.h"

#include "backend/volume_backend.h"
#include "frame/settings.h"
#include "host/guids.h"
#include "text/utf8_string.h"

namespace dwx {

namespace {

struct VolumeCommand {
  const char* item_name;  // the menu path
  const char* display;
  GUID guid;
};

constexpr VolumeCommand commands[VolumeCommands::command_count] = {
    {"Components/Volume toolbar up", "Volume up", volume_up_command_guid},
    {"Components/Volume toolbar down", "Volume down", volume_down_command_guid},
    {"Components/Volume toolbar mute", "Volume mute", volume_mute_command_guid},
};

constexpr uint32_t volume_up = 0, volume_down = 1, volume_mute = 2;
constexpr VolumeLevel volume_step = 15;

// The caller the older entry points pass on to the newer ones.
constexpr GUID no_caller = {};

VolumeLevel clamp_level(VolumeLevel level) {
  if (level < level_silence) return level_silence;
  if (level > level_full) return level_full;
  return level;
}

// The level command `index` leads to from `level`; the mute toggle also
// keeps or gives back the level it silenced in mixer_mute_level.
VolumeLevel command_level(uint32_t index, VolumeLevel level) {
  switch (index) {
    case volume_up:
      return level + volume_step > level_full ? level_full : level + volume_step;
    case volume_down:
      return level - volume_step < level_silence ? level_silence : level - volume_step;
    case volume_mute:
      if (level != level_silence) {
        mixer_mute_level.set(level);
        return level_silence;
      } else {
        // The saved level comes from the configuration blob, which anyone may
        // have edited: only a level on the scale goes back to the target.
        const VolumeLevel saved = clamp_level(mixer_mute_level.value());
        mixer_mute_level.set(0);
        return saved;
      }
    default:
      return level;
  }
}

}  // namespace

void* VolumeCommands::query(const GUID* class_guid) {
  if (same_guid(class_guid, menu_item_class) || same_guid(class_guid, menu_item_v2_class)) {
    add_ref();
    return this;
  }
  return nullptr;
}

// An index past the table is refused rather than read: the host decides what
// it asks for, and the table has only three rows.
const char* VolumeCommands::get_item_name(uint32_t index, HostString* out) {
  if (out == nullptr) return nullptr;
  if (index >= command_count) return out->get_text();
  return set_text(*out, commands[index].item_name);
}

bool VolumeCommands::get_display(uint32_t index, const void* context, HostString* out,
                                 uint32_t* flags) {
  return get_display_ex(index, context, out, flags, &no_caller);
}

void VolumeCommands::perform(uint32_t index, const void* context) {
  perform_ex(index, context, &no_caller);
}

bool VolumeCommands::get_display_ex(uint32_t index, const void*, HostString* out, uint32_t* flags,
                                    const GUID*) {
  if (index >= command_count || out == nullptr || flags == nullptr) return false;
  set_text(*out, commands[index].display);
  *flags = 0;
  return true;
}

void VolumeCommands::perform_ex(uint32_t index, const void*, const GUID*) {
  if (index >= command_count) {
    // The level is read whatever the index: this also opens the configured
    // target on first use.
    VolumeLevel unused;
    volume_backend.get_volume(&unused);
    return;
  }
  // Read and set in one step, so that a command running at the same time
  // on another thread is not undone. A level that cannot be read is not
  // silence: the command then does nothing.
  volume_backend.change_volume([index](VolumeLevel level) { return command_level(index, level); });
}

bool VolumeCommands::get_item_guid(uint32_t index, GUID* out) {
  if (index >= command_count || out == nullptr) return false;
  *out = commands[index].guid;
  return true;
}

}  // namespace dwx
