// The accessible object a slider's trackbar hands assistive technology.
#pragma once

#include <windows.h>

namespace dwx {

// The messages both trackbars' subclasses hand over, and the result to
// return when the answer is true; false means the trackbar's own procedure
// answers (after this, for its end).
//   WM_GETOBJECT for the client area: the slider's accessible object, made at
//     the first request and kept for the trackbar's life;
//   announce_level_message: the announcement made now;
//   WM_NCDESTROY: the object is disconnected from its clients.
bool handle_accessibility_message(HWND trackbar, UINT message, WPARAM wparam, LPARAM lparam,
                                  LRESULT* result);

// The trackbar ends, or the component lets go of it: its object's clients
// get the error of a disconnected object from every call from now on.
void disconnect_accessible(HWND trackbar);

}  // namespace dwx
