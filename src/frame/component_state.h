// What the component keeps of its host: module handle, HostApi, readiness, module strings.
#pragma once

#include <windows.h>

#include <atomic>

#include "host/host_api.h"
#include "text/text_copy.h"

namespace dwx {

// One per loaded library (defined in module.cpp). The entry function writes
// the module instance and the HostApi once, before the host uses any service;
// the ready flag is one byte written by the host and read without a lock.
class ComponentState {
 public:
  constexpr ComponentState() = default;

  void set_entry_arguments(HostApi* host, HINSTANCE instance) {
    host_ = host;
    instance_ = instance;
  }
  void set_module_strings(const char* first, const char* name) {
    first_string_.assign(first);
    module_name_.assign(name);
  }
  void set_services_ready(bool ready) { ready_.store(ready ? 1 : 0, std::memory_order_release); }
  // The library is being unloaded because the process ends: its windows,
  // classes and mixer go with the process, and user32 may be partly gone.
  void set_process_ending() { process_ending_ = true; }

  HINSTANCE module_instance() const { return instance_; }
  HostApi* host_api() const { return host_; }
  bool services_ready() const { return ready_.load(std::memory_order_acquire) != 0; }
  // The empty string when the host gave none.
  const char* module_name() const { return module_name_.get(); }
  bool process_ending() const { return process_ending_; }

 private:
  HINSTANCE instance_ = nullptr;
  HostApi* host_ = nullptr;
  std::atomic<unsigned char> ready_{0};
  bool process_ending_ = false;  // written by the detach notification, before any clean-up
  OwnedText first_string_;       // kept until unload, never read
  OwnedText module_name_;
};

extern ComponentState component;

// Accessors every part of the component uses.
inline HINSTANCE module_instance() { return component.module_instance(); }
inline HostApi* host_api() { return component.host_api(); }
inline bool services_ready() { return component.services_ready(); }
inline const char* module_name() { return component.module_name(); }
inline bool process_ending() { return component.process_ending(); }

}  // namespace dwx
