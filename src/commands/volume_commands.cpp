// Volume up, down and mute: what the host shows for them and what they do.
#include "commands/volume_commands.h"

#include "backend/volume_backend.h"
#include "commands/command_level.h"
#include "frame/settings.h"
#include "host/guids.h"

namespace dwx {

namespace {

struct CommandEntry {
  const char* item_name;  // the menu path
  const char* display;
  GUID guid;
};

constexpr CommandEntry commands[VolumeCommands::command_count] = {
    {"Components/Volume toolbar up",
     "Volume up",
     {0x09AAFA8B, 0x01D0, 0x40FC, {0xA5, 0x96, 0xCB, 0xF0, 0xED, 0xA4, 0x60, 0x3F}}},
    {"Components/Volume toolbar down",
     "Volume down",
     {0xEAA316FE, 0x0841, 0x40DA, {0xBD, 0x04, 0xF4, 0x97, 0x54, 0xA2, 0x48, 0x1A}}},
    {"Components/Volume toolbar mute",
     "Volume mute",
     {0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}}},
};

// The host's newer menu interface, which these commands also serve.
constexpr GUID menu_item_v2_class = {
    0x79D28AA9, 0x4E71, 0x4B9B, {0x98, 0xBA, 0x36, 0xDB, 0x16, 0x59, 0x3F, 0xDF}};
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
