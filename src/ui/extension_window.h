// The layout framework's extension-window interface, as the component implements it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_api.h"
#include "host/host_string.h"

namespace dwx {

// Slot order is the framework's. The operations whose meaning belongs to the
// framework are declared with exactly as many 32-bit words as it pushes, so
// that each pops what its caller pushed. No virtual destructor: the host's
// compiler lays those out differently.
class ExtensionWindow : public ServiceObject {
 public:
  virtual const GUID* get_extension_guid() = 0;           // 3
  virtual const char* get_name(HostString* out) = 0;      // 4
  virtual const char* get_category(HostString* out) = 0;  // 5
  virtual bool get_short_name(HostString* out) = 0;       // 6
  virtual bool framework_slot7(uint32_t) = 0;             // 7
  virtual uint32_t get_type() = 0;                        // 8
  virtual bool framework_slot9() = 0;                     // 9
  virtual bool framework_slot10(uint32_t) = 0;            // 10
  virtual HWND create_or_transfer_window(HWND parent, ExtensionHost* host,
                                         const void* unused) = 0;  // 11
  virtual void framework_slot12(uint32_t) = 0;                     // 12
  virtual void destroy_window() = 0;                               // 13
  virtual void framework_slot14(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t,
                                uint32_t) = 0;                                          // 14
  virtual void framework_slot15(uint32_t, uint32_t, uint32_t, uint32_t) = 0;            // 15
  virtual bool framework_slot16(uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) = 0;  // 16
  virtual HWND get_window() = 0;                                                        // 17

 protected:
  ~ExtensionWindow() = default;
};

// What get_type() answers: the framework lists panels and toolbars apart.
constexpr uint32_t extension_type_panel = 1;
constexpr uint32_t extension_type_toolbar = 2;

}  // namespace dwx
