// A layout framework's side of an extension window the component offers:
// every operation called by its slot number, as the framework calls it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "standin_host/abi.h"
#include "standin_host/host_objects.h"

namespace standin {

namespace extension_window {
constexpr unsigned release = 0, add_ref = 1, query = 2, get_extension_guid = 3, get_name = 4,
                   get_category = 5, get_short_name = 6, slot7 = 7, get_type = 8, slot9 = 9,
                   slot10 = 10, create_or_transfer_window = 11, slot12 = 12, destroy_window = 13,
                   slot14 = 14, slot15 = 15, slot16 = 16, get_window = 17;
constexpr unsigned type_panel = 1, type_toolbar = 2;
}  // namespace extension_window

namespace guids {
constexpr GUID toolbar_extension = {
    0xCEB9D7DF, 0x1F61, 0x443F, {0xAC, 0x72, 0x65, 0xCD, 0x70, 0x63, 0x08, 0x2A}};
constexpr GUID panel_extension = {
    0xCBD4748E, 0x6920, 0x4217, {0xBE, 0x90, 0x19, 0x3E, 0xAB, 0x0C, 0xCC, 0x9D}};
}  // namespace guids

// The player initialises the common controls at start-up, before its layout
// creates any extension window: the component only names their classes.
void init_common_controls();

// A view of one of the component's extension-window objects, not the
// interface itself: it holds no reference of its own, and whoever created
// the object says when to release it.
class ExtensionWindowView {
 public:
  explicit ExtensionWindowView(void* object = nullptr) : object_(object) {}

  void* object() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

  int release() { return call<int>(extension_window::release); }
  int add_ref() { return call<int>(extension_window::add_ref); }
  void* query(const GUID& class_guid) { return call<void*>(extension_window::query, &class_guid); }
  const GUID* extension_guid() { return call<const GUID*>(extension_window::get_extension_guid); }
  // Each fills `out` and returns what the operation returned.
  const char* name(HostStringObject& out) {
    return call<const char*>(extension_window::get_name, &out);
  }
  const char* category(HostStringObject& out) {
    return call<const char*>(extension_window::get_category, &out);
  }
  bool short_name(HostStringObject& out) {
    return call<bool>(extension_window::get_short_name, &out);
  }
  unsigned type() { return call<unsigned>(extension_window::get_type); }

  // Creates the host window as a child of `parent`, held by `host`, or moves
  // the window the object already has there.
  HWND create_or_transfer(HWND parent, ExtensionHostObject* host, const void* third = nullptr);
  void destroy() { call<void>(extension_window::destroy_window); }
  HWND window() { return call<HWND>(extension_window::get_window); }

  // The framework's own operations, with the argument words it pushes.
  bool slot7(uint32_t a) { return call<bool>(extension_window::slot7, a); }
  bool slot9() { return call<bool>(extension_window::slot9); }
  bool slot10(uint32_t a) { return call<bool>(extension_window::slot10, a); }
  void slot12(uint32_t a) { call<void>(extension_window::slot12, a); }
  void slot14(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e, uint32_t f) {
    call<void>(extension_window::slot14, a, b, c, d, e, f);
  }
  void slot15(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    call<void>(extension_window::slot15, a, b, c, d);
  }
  bool slot16(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t e) {
    return call<bool>(extension_window::slot16, a, b, c, d, e);
  }

 private:
  template <class R, class... Args>
  R call(unsigned slot, Args... args) {
    return call_slot<R>(object_, slot, args...);
  }

  void* object_;
};

}  // namespace standin
