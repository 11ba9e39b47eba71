// Calling the menu-item service's operations as the player's menus do.
#include "standin_host/menu_items.h"

namespace standin {

MenuDisplay MenuItems::display(unsigned index, unsigned initial_flags) {
  HostStringObject out;
  MenuDisplay shown;
  shown.flags = initial_flags;
  shown.shown =
      call_slot<bool>(service_, menu_item::get_display, index, context(), &out, &shown.flags);
  shown.text = out.text;
  return shown;
}

MenuDisplay MenuItems::display_ex(unsigned index, const GUID& caller, unsigned initial_flags) {
  HostStringObject out;
  MenuDisplay shown;
  shown.flags = initial_flags;
  shown.shown = call_slot<bool>(service_, menu_item::get_display_ex, index, context(), &out,
                                &shown.flags, &caller);
  shown.text = out.text;
  return shown;
}

}  // namespace standin
