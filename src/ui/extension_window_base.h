// What the toolbar and the panel share as extension windows: the framework's
// constant answers, and creating, moving and destroying their host window.
#pragma once

#include <windows.h>

#include "frame/component_state.h"
#include "frame/own_windows.h"
#include "frame/window_class.h"
#include "host/guids.h"
#include "host/utf8api.h"
#include "host/component_api.h"
#include "diagnostics/window_failure.h"
#include "text/utf8_string.h"

namespace dwx {

// What the layout lists a kind of extension window by.
struct ExtensionDescription {
  GUID guid;
  const char* name;
  const char* category;
  uint32_t type;  // extension_type_panel or extension_type_toolbar
};

// Window is the concrete object. Its fields keep the order the framework
// knows the object by, so this layer adds none of its own; it reaches
// Window's `host_window_` (an atomic window handle) and `host_`, and
//   static const ExtensionDescription description;
//   static WindowClassRef& window_class();
//   void let_go_elsewhere(HWND window);  // what the window's end would do
// The last runs when the window is another thread's, which will close it
// without this object hearing of it.
template <class Window>
class ExtensionWindowBase : public ExtensionWindow {
 public:
  void* query(const GUID* class_guid) override {
    if (!same_guid(class_guid, extension_window_class)) return nullptr;
    add_ref();
    return static_cast<ExtensionWindow*>(this);
  }
  const GUID* get_extension_guid() override { return &Window::description.guid; }
  // A host that passes no string object gets nothing rather than a fault.
  const char* get_name(HostString* out) override {
    return out != nullptr ? set_text(*out, Window::description.name) : nullptr;
  }
  const char* get_category(HostString* out) override {
    return out != nullptr ? set_text(*out, Window::description.category) : nullptr;
  }
  bool get_short_name(HostString* out) override {
    if (out == nullptr) return false;
    set_text(*out, "Volume");
    return true;
  }
  uint32_t get_type() override { return Window::description.type; }
  HWND create_or_transfer_window(HWND parent, ExtensionHost* host, const void* unused) override;
  void destroy_window() override;
  HWND get_window() override { return self().host_window_.load(); }

  // The framework's own operations, answered with constants.
  bool framework_slot7(uint32_t) override { return false; }
  bool framework_slot9() override { return false; }
  bool framework_slot10(uint32_t) override { return true; }
  void framework_slot12(uint32_t) override {}
  void framework_slot14(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override {}
  void framework_slot15(uint32_t, uint32_t, uint32_t, uint32_t) override {}
  bool framework_slot16(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) override { return false; }

 protected:
  ExtensionWindowBase() = default;
  ~ExtensionWindowBase() = default;

  // The host window's WM_NCDESTROY. A window destroyed from outside (its
  // container or the player's main window went) is forgotten and its class
  // released, so that the next create builds a new one; destroy_window has
  // already done both for a window it destroys itself.
  void forget_host_window(HWND window) {
    own_windows.remove(window);
    HWND expected = window;
    if (self().host_window_.compare_exchange_strong(expected, nullptr)) {
      Window::window_class().release();
    }
  }

 private:
  Window& self() { return static_cast<Window&>(*this); }
  // How unload lets go of a host window whose object the host never released.
  static void let_go(void* window) { static_cast<Window*>(window)->destroy_window(); }
};

template <class Window>
HWND ExtensionWindowBase<Window>::create_or_transfer_window(HWND parent, ExtensionHost* host,
                                                            const void*) {
  Window& window = self();
  if (HWND existing = window.host_window_.load()) {
    // A move between hosts keeps the window as it is: its trackbar, its
    // registry entry, its position and its size.
    SetParent(existing, parent);
    // A window first created without a host has nobody to let go of it.
    if (window.host_ != nullptr) window.host_->detach_window(existing);
    window.host_ = host;
    return existing;
  }

  window.host_ = host;
  WindowClassRef& window_class = Window::window_class();
  const ATOM atom = window_class.acquire();
  if (atom == 0) {
    report_window_failure("Failed to register window class - %s");
    return nullptr;
  }
  // Hidden until the framework shows it; WM_CREATE fills it before this returns.
  HWND created = uCreateWindowEx(0, MAKEINTATOM(atom), "Volume", WS_CHILD | WS_CLIPCHILDREN, 0, 0,
                                 0, 0, parent, nullptr, module_instance(), &window);
  window.host_window_.store(created);
  if (created == nullptr) {
    report_window_failure("Failed to create window - %s");
    window_class.release();
    return nullptr;
  }
  if (!own_windows.add(created, &window, &let_go)) {
    // Unknown to the unload, it could outlive the code it runs.
    destroy_window();
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    report_window_failure("Failed to create window - %s");
    return nullptr;
  }
  return created;
}

template <class Window>
void ExtensionWindowBase<Window>::destroy_window() {
  // Of two callers racing here only one gets the handle, so the window is
  // destroyed and its class released once.
  HWND held = self().host_window_.exchange(nullptr);
  if (held == nullptr) return;
  own_windows.remove(held);
  // Another thread's window is made harmless instead, and closes there: its
  // procedures would otherwise reach this object after it is freed. What its
  // end would do here is done now.
  if (!on_this_thread(held)) self().let_go_elsewhere(held);
  let_go_of_window(held);
  Window::window_class().release();
}

}  // namespace dwx
