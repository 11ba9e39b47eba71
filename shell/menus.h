// The shell's menu bar and keys, built from the component's commands and
// extension windows.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/component_session.h"
#include "shell/settings.h"

namespace shell {

// What a menu entry or a key asks for.
struct MenuAction {
  enum class What {
    none,
    open,
    preferences,
    exit,
    play,
    stop,
    tone,
    play_or_stop,
    louder,
    quieter,
    place,
    command,
    about
  };
  What what = What::none;
  SliderKind kind = SliderKind::toolbar;
  Placement placement = Placement::docked;
  unsigned command = 0;  // the component's command index
};

class Menus {
 public:
  explicit Menus(ComponentSession& session);
  ~Menus();
  Menus(const Menus&) = delete;
  Menus& operator=(const Menus&) = delete;

  // The menu bar; the window it is set on destroys it.
  HMENU bar() const { return bar_; }
  HACCEL accelerators() const { return accelerators_; }
  // What the entry or key of that command identifier does.
  MenuAction action(UINT id) const;
  // The identifier that runs the component's command `index`, or 0.
  UINT command_id(unsigned index) const;
  // Checks the entry of where the slider is now.
  void show_placement(SliderKind kind, Placement where);

 private:
  // Adds an entry to `menu`, or only an identifier for a key when `menu` is null.
  UINT add(HMENU menu, const MenuAction& action, const std::string& label);
  void build_accelerators(ComponentSession& session);

  HMENU bar_ = nullptr;
  HACCEL accelerators_ = nullptr;
  std::vector<MenuAction> actions_;  // by identifier, from first_id
  HMENU places_[kinds] = {};
};

}  // namespace shell
