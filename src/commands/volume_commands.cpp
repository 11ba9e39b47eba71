// Volume up, down and mute: what the host shows for them and what they do.
#include "commands/volume_commands.h"

#include "backend/volume_backend.h"
#include "commands/command_level.h"
#include "frame/settings.h"
#include "host/guids.h"
#include "text/utf8_string.h"

namespace dwx {

namespace {

struct CommandEntry {
  const char* item_name;  // the menu path
  const char* display;
  GUID guid;
};

constexpr CommandEntry commands[VolumeCommands::command_count] = {
    {"Components/Volume toolbar up", "Volume up", volume_up_command_guid},
    {"Components/Volume toolbar down", "Volume down", volume_down_command_guid},
    {"Components/Volume toolbar mute", "Volume mute", volume_mute_command_guid},
};

// The caller the older entry points pass on to the newer ones.
constexpr GUID no_caller = {};

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
  const auto command = static_cast<VolumeCommand>(index);
  volume_backend.change_volume(
      [command](VolumeLevel level) { return level_after(command, level, mixer_mute_level); });
}

bool VolumeCommands::get_item_guid(uint32_t index, GUID* out) {
  if (index >= command_count || out == nullptr) return false;
  *out = commands[index].guid;
  return true;
}

}  // namespace dwx
