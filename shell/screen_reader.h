// What a screen reader says of a window, read the way it reads it.
#pragma once

#include <windows.h>

#include <string>

namespace shell {

// The name, role and value of the window's accessible object, as a screen
// reader speaks them ("Volume, slider, -6.02 dB"), asked through
// AccessibleObjectFromWindow; what went wrong when there is none.
std::string spoken_text(HWND window);

}  // namespace shell
