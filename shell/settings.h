// What the shell keeps of itself between runs, beside the component's blob.
#pragma once

#include <windows.h>

namespace shell {

enum class Placement { docked, floating, hidden };
enum class SliderKind { toolbar, panel };
constexpr int kinds = 2;

struct SliderSettings {
  Placement placement = Placement::docked;
  RECT frame = {};  // the floating frame, in screen coordinates; empty when never placed
};

struct ShellSettings {
  bool saved = false;  // false: nothing was kept, the defaults apply
  int volume_hdb = 0;  // the player's own volume
  UINT show = SW_SHOWNORMAL;
  RECT window = {};  // the main window's normal position, as WINDOWPLACEMENT gives it
  SliderSettings sliders[kinds];
};

}  // namespace shell
