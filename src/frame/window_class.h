// Window classes registered while they have users, and the procedure that
// hands each window's messages to the object that created it.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "host/utf8api.h"

namespace dwx {

// The first acquire registers the class, the release that brings the count
// back to 0 unregisters it. The count changes atomically; registering and
// unregistering themselves happen on the thread that uses the class's windows.
// A class whose last window is still on its way out (released from that
// window's WM_NCDESTROY) cannot be unregistered yet: it stays registered, is
// used again by the next acquire, and goes at a later release or the unload.
class WindowClassRef {
 public:
  WindowClassRef(const char* class_name, WNDPROC procedure)
      : class_name_(class_name), procedure_(procedure) {}
  // Unload: a class still registered is unregistered, unless the process is
  // ending and takes it along. One that a window of another thread still
  // holds (let go of, and closing there) cannot be: its procedure becomes
  // the system's default instead.
  ~WindowClassRef();
  WindowClassRef(const WindowClassRef&) = delete;
  WindowClassRef& operator=(const WindowClassRef&) = delete;

  // The class atom to create windows with, or 0 when the registration failed
  // (GetLastError() still tells why, and the count is back at 0).
  ATOM acquire();
  void release();
  void unregister();

  const char* class_name() const { return class_name_; }

 private:
  const char* class_name_;
  WNDPROC procedure_;
  std::atomic<int32_t> count_{0};
  std::atomic<ATOM> atom_{0};
};

// Destroys a window of the calling thread and answers true. Another thread's
// window cannot be destroyed from here: it and its children are made
// harmless instead, every procedure of this library the system keeps for
// them (window procedures, subclasses, a dialog's procedure) replaced by the
// class's own or the system's default, and its thread is asked to close it;
// the answer is false, and nothing of the component hears of it again.
bool let_go_of_window(HWND window);

// Whether the window is the calling thread's.
bool on_this_thread(HWND window);

// The window procedure of a class whose windows belong to objects of type
// Object: the object pointer, given as the creation parameter, is kept in the
// window's user data from WM_NCCREATE on, and every message from then on goes
// to (object->*handler). Messages before WM_NCCREATE get the default handling.
// A window the object could not be kept in is refused at WM_NCCREATE, so that
// its creation fails and is reported: it would otherwise live on as an empty
// shell that nothing tracks, not even its own end.
template <class Object, LRESULT (Object::*handler)(HWND, UINT, WPARAM, LPARAM)>
LRESULT CALLBACK object_dispatch(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Object* object;
  if (message == WM_NCCREATE) {
    object = static_cast<Object*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    const auto kept = reinterpret_cast<LONG_PTR>(object);
    uSetWindowLong(window, GWLP_USERDATA, kept);
    if (object != nullptr && uGetWindowLong(window, GWLP_USERDATA) != kept) return FALSE;
  } else {
    object = reinterpret_cast<Object*>(uGetWindowLong(window, GWLP_USERDATA));
  }
  if (object == nullptr) return uDefWindowProc(window, message, wparam, lparam);
  return (object->*handler)(window, message, wparam, lparam);
}

}  // namespace dwx
