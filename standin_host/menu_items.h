// The host's side of the menu-item service: each operation called by its slot number.
#pragma once

#include <windows.h>

#include <string>

#include "standin_host/abi.h"
#include "standin_host/host_objects.h"

namespace standin {

namespace menu_item {
constexpr unsigned reserved3 = 3, reserved4 = 4, get_count = 5, get_item_name = 6, get_display = 7,
                   perform = 8, reserved9 = 9, reserved10 = 10, get_display_ex = 11,
                   perform_ex = 12, get_item_guid = 13;
}

namespace guids {
// The player's newer menu-item interface, which a menu-item service may also answer.
constexpr GUID menu_item_v2 = {
    0x79D28AA9, 0x4E71, 0x4B9B, {0x98, 0xBA, 0x36, 0xDB, 0x16, 0x59, 0x3F, 0xDF}};
}  // namespace guids

// What a menu shows for one command.
struct MenuDisplay {
  bool shown = false;
  std::string text;
  unsigned flags = 0;
};

// A menu-item service as the player's menus use it. The object is the
// service the component created; the caller keeps its reference.
class MenuItems {
 public:
  explicit MenuItems(void* service) : service_(service) {}

  unsigned count() { return call_slot<unsigned>(service_, menu_item::get_count); }
  // Fills `out` with the command's name; returns what the operation returned.
  const char* item_name(unsigned index, HostStringObject* out) {
    return call_slot<const char*>(service_, menu_item::get_item_name, index, out);
  }
  // Slot 7, the older entry point, and slot 11 with the caller's GUID. The
  // flags start at `initial_flags`, so a test sees whether they were written.
  MenuDisplay display(unsigned index, unsigned initial_flags = 0xFFFFFFFF);
  MenuDisplay display_ex(unsigned index, const GUID& caller, unsigned initial_flags = 0xFFFFFFFF);
  void perform(unsigned index) { call_slot<void>(service_, menu_item::perform, index, context()); }
  void perform_ex(unsigned index, const GUID& caller) {
    call_slot<void>(service_, menu_item::perform_ex, index, context(), &caller);
  }
  bool item_guid(unsigned index, GUID* out) {
    return call_slot<bool>(service_, menu_item::get_item_guid, index, out);
  }

  void* service() const { return service_; }

 private:
  // The second argument of the display and perform operations is the
  // player's; the commands are told to ignore it, so it points at nothing
  // they could use.
  const void* context() const { return &context_; }

  void* service_;
  const unsigned context_ = 0xDEADBEEF;
};

}  // namespace standin
