// The tooltip that follows the cursor through a toolbar drag.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dwx {

// Replaces any tooltip held in `tooltip` with a new one, owned by `owner`,
// showing `text` just under the screen point (x, y). Whether the tooltip
// window could be created is not checked: without it the messages that
// follow reach no window and change nothing.
void show_tooltip(HWND& tooltip, HWND owner, const char* text, int32_t x, int32_t y);
// Moves the tooltip, if there is one, under the screen point (x, y).
void move_tooltip(HWND tooltip, int32_t x, int32_t y);
// Changes the text of a tooltip shown by show_tooltip, if there is one.
void update_tooltip(HWND tooltip, HWND owner, const char* text);
// Destroys the tooltip, if there is one, and forgets it.
void hide_tooltip(HWND& tooltip);

}  // namespace dwx
