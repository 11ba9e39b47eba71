// What the component keeps of its host: module handle, HostApi, readiness, module strings.
#pragma once

#include <windows.h>

#include <atomic>
#include <type_traits>

#include "host/host_api.h"
#include "text/text_copy.h"

namespace dwx {

// One per loaded library (defined in module.cpp). The entry function writes
// the module instance and the HostApi once, before the host uses any service;
// the ready flag is one byte written by the host and read without a lock.
// Every clean-up at unload may read this state, the last of them included,
// so it has no destructor and lives as long as the image: only its module
// strings are freed, by the first clean-up (ModuleStringsCleanUp).
class ComponentState {
 public:
  constexpr ComponentState() = default;

  void set_entry_arguments(HostApi* host, HINSTANCE instance) {
    host_ = host;
    instance_ = instance;
  }
  void set_module_strings(const char* first, const char* name) {
    replace_copy(&first_string_, first);
    replace_copy(&module_name_, name);
  }
  // The module name reads as the empty string from then on.
  void free_module_strings() { set_module_strings(nullptr, nullptr); }
  void set_services_ready(bool ready) { ready_.store(ready ? 1 : 0, std::memory_order_release); }
  // The library is being unloaded because the process ends: its windows,
  // classes and mixer go with the process, and user32 may be partly gone.
  void set_process_ending() { process_ending_ = true; }

  HINSTANCE module_instance() const { return instance_; }
  HostApi* host_api() const { return host_; }
  bool services_ready() const { return ready_.load(std::memory_order_acquire) != 0; }
  // The empty string when the host gave none.
  const char* module_name() const { return module_name_ != nullptr ? module_name_ : ""; }
  bool process_ending() const { return process_ending_; }

 private:
  HINSTANCE instance_ = nullptr;
  HostApi* host_ = nullptr;
  std::atomic<unsigned char> ready_{0};
  bool process_ending_ = false;   // written by the detach notification, before any clean-up
  char* first_string_ = nullptr;  // kept until unload, never read
  char* module_name_ = nullptr;   // none reads as the empty string
};

static_assert(std::is_trivially_destructible<ComponentState>::value,
              "read by every clean-up at unload, so never destroyed");

extern ComponentState component;

// Defined right after the state: the first clean-up at unload frees the
// module strings.
struct ModuleStringsCleanUp {
  ~ModuleStringsCleanUp() { component.free_module_strings(); }
};

// Accessors every part of the component uses.
inline HINSTANCE module_instance() { return component.module_instance(); }
inline HostApi* host_api() { return component.host_api(); }
inline bool services_ready() { return component.services_ready(); }
inline const char* module_name() { return component.module_name(); }
inline bool process_ending() { return component.process_ending(); }

}  // namespace dwx
