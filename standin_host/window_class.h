// Window classes of this program, and windows whose messages go to an object.
#pragma once

#include <windows.h>

namespace standin {

// An object that handles the messages of the windows it creates with an
// owned class: it passes itself (as a WindowOwner*) as CreateWindowEx's
// creation parameter, and the window keeps it in GWLP_USERDATA.
class WindowOwner {
 public:
  virtual LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;

 protected:
  ~WindowOwner() = default;
};

// Hands each message to the window's WindowOwner; before WM_NCCREATE and
// after WM_NCDESTROY, and for a window disowned, the default handling.
LRESULT CALLBACK owned_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Registers a class of this program with the arrow cursor and the dialog
// colour; registering a name again is harmless.
void register_window_class(const wchar_t* name, WNDPROC procedure = owned_window_procedure);

// The window's messages no longer reach its owner (one that goes first).
void disown_window(HWND window);

}  // namespace standin
