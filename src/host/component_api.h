// The component's objects as the host calls them: the client the entry
// function returns, the nodes of its service list, and every service's
// table. Slot order is the host's; operations whose meaning is the host's
// are declared with exactly as many 32-bit words as the host pushes, so that
// each pops what its caller pushed.
#pragma once

#include <windows.h>

#include <cstdint>

#include "host/host_api.h"

namespace dwx {

class ServiceFactory;

// What the entry function hands the host. A static object, never freed.
class ComponentClient {
 public:
  virtual uint32_t get_version() = 0;
  virtual ServiceFactory* get_service_list() = 0;
  virtual void write_config(ConfigWriter* writer) = 0;
  virtual void read_config(const void* data, uint32_t size) = 0;
  virtual void reserved() = 0;
  virtual void set_module_strings(const char* first, const char* name) = 0;
  virtual void set_services_ready(bool ready) = 0;

 protected:
  ~ComponentClient() = default;
};

// One node of the service list: {operation table, next, class GUID}, 24
// bytes on 32-bit. The node is filled once, when it is linked in.
class ServiceFactory {
 public:
  // A service object with one reference for the caller, or null.
  virtual void* create() = 0;

  ServiceFactory* next() const { return next_; }
  const GUID& class_guid() const { return class_guid_; }

 protected:
  ServiceFactory(ServiceFactory* next, const GUID& class_guid)
      : next_(next), class_guid_(class_guid) {}
  ~ServiceFactory() = default;

 private:
  ServiceFactory* next_;
  GUID class_guid_;
};

static_assert(sizeof(ServiceFactory) == 2 * sizeof(void*) + sizeof(GUID),
              "the host reads {table, next, GUID}");

class ComponentVersionInterface : public ServiceObject {
 public:
  virtual void get_file_name(HostString* out) = 0;
  virtual void get_component_name(HostString* out) = 0;
  virtual void get_component_version(HostString* out) = 0;
  virtual void get_about(HostString* out) = 0;

 protected:
  ~ComponentVersionInterface() = default;
};

class InitQuitInterface : public ServiceObject {
 public:
  virtual void on_init() = 0;
  virtual void on_second() = 0;
  virtual void on_quit() = 0;

 protected:
  ~InitQuitInterface() = default;
};

class PlayCallbackInterface : public ServiceObject {
 public:
  virtual uint32_t get_flags() = 0;
  // Notifications the component does not ask for, by their argument words.
  virtual void on_notification0() = 0;
  virtual void on_notification1a(uint32_t) = 0;
  virtual void on_notification1b(uint32_t) = 0;
  virtual void on_notification2a(uint32_t, uint32_t) = 0;
  virtual void on_notification1c(uint32_t) = 0;
  virtual void on_notification1d(uint32_t) = 0;
  virtual void on_notification2b(uint32_t, uint32_t) = 0;
  virtual void on_notification3(uint32_t, uint32_t, uint32_t) = 0;
  virtual void on_volume_change(int32_t hdb) = 0;

 protected:
  ~PlayCallbackInterface() = default;
};

// Slots 3 to 13 after the three common ones. The host gives meaning to 3, 4,
// 9 and 10; the component only has to answer them with their constants.
class MenuItemInterface : public ServiceObject {
 public:
  virtual uint32_t reserved3(uint32_t) = 0;
  virtual uint32_t reserved4() = 0;
  virtual uint32_t get_count() = 0;
  virtual const char* get_item_name(uint32_t index, HostString* out) = 0;
  virtual bool get_display(uint32_t index, const void* context, HostString* out,
                           uint32_t* flags) = 0;
  virtual void perform(uint32_t index, const void* context) = 0;
  virtual bool reserved9(uint32_t, uint32_t) = 0;
  virtual uint32_t reserved10(uint32_t) = 0;
  virtual bool get_display_ex(uint32_t index, const void* context, HostString* out, uint32_t* flags,
                              const GUID* caller) = 0;
  virtual void perform_ex(uint32_t index, const void* context, const GUID* caller) = 0;
  virtual bool get_item_guid(uint32_t index, GUID* out) = 0;

 protected:
  ~MenuItemInterface() = default;
};

class PreferencesPageInterface : public ServiceObject {
 public:
  virtual HWND create_page(HWND parent) = 0;
  virtual const char* get_page_name() = 0;
  virtual const char* get_parent_name() = 0;

 protected:
  ~PreferencesPageInterface() = default;
};

// The layout framework's extension window, counted.
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
