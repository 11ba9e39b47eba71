// Loading the component as the player does, and calling it through the pinned interface only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin_host/abi.h"
#include "standin_host/extension_window.h"
#include "standin_host/host.h"

namespace standin {

// Calls a slot that fills a host string object, and returns the text.
std::string read_string_slot(void* object, unsigned slot);

class LoadedComponent {
 public:
  explicit LoadedComponent(Host& host) : host_(host) {}
  ~LoadedComponent() { unload(); }
  LoadedComponent(const LoadedComponent&) = delete;
  LoadedComponent& operator=(const LoadedComponent&) = delete;

  // LoadLibrary and the entry call; on failure error() says why.
  bool load(const wchar_t* path = L"dwx_volume.dll");
  // FreeLibrary: the component's clean-ups run. Services handed out before
  // must not be used afterwards.
  void unload();
  bool loaded() const { return module_ != nullptr; }
  HMODULE module() const { return module_; }
  // The ComponentClient itself, for calls the operations below do not make.
  void* client() const { return client_; }
  const std::string& error() const { return error_; }

  // The ComponentClient's operations.
  unsigned version();
  std::vector<const FactoryNode*> service_list();
  void read_config(const void* data, unsigned size);
  void read_config(const std::vector<uint8_t>& blob) {
    read_config(blob.data(), static_cast<unsigned>(blob.size()));
  }
  std::vector<uint8_t> write_config();
  void write_config(WriterObject& writer);
  void reserved();
  void set_module_strings(const char* first, const char* name);
  void set_services_ready(bool ready);

  // The service the `nth` factory of that class creates, with one reference
  // for the caller; null when there is none.
  void* create_service(const GUID& class_guid, unsigned nth = 0);
  // A new extension-window object of that type, as a layout asks for the
  // kind it has a place for: the factories are tried in order, and each
  // object of another type is released again. Empty when none is offered.
  ExtensionWindowView create_extension_window(unsigned type);

  // A player's start: configuration, module strings, play callbacks, then
  // the services-ready flag and the init/quit hooks' first operation.
  void start(const std::vector<uint8_t>& blob = {});
  // A player's stop: services no longer ready, the hooks' third operation,
  // the play callbacks dropped; returns the configuration collected.
  std::vector<uint8_t> stop();

  static constexpr const char* module_name = "dwx_volume";

 private:
  Host& host_;
  HMODULE module_ = nullptr;
  void* client_ = nullptr;
  std::string error_;
};

}  // namespace standin
