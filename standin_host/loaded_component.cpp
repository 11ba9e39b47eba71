// The player's side of loading, starting, stopping and unloading the component.
#include "standin_host/loaded_component.h"

namespace standin {

std::string read_string_slot(void* object, unsigned slot) {
  HostStringObject out;
  call_slot<void>(object, slot, &out);
  return out.text;
}

bool LoadedComponent::load(const wchar_t* path) {
  unload();
  module_ = LoadLibraryW(path);
  if (module_ == nullptr) {
    error_ = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return false;
  }
  auto entry =
      reinterpret_cast<EntryFunction>(reinterpret_cast<void*>(GetProcAddress(module_, entry_name)));
  if (entry == nullptr) {
    error_ = std::string("the library does not export ") + entry_name;
    unload();
    return false;
  }
  client_ = entry(host_.api(), module_);
  if (client_ == nullptr) {
    error_ = "the entry function returned no client";
    unload();
    return false;
  }
  return true;
}

void LoadedComponent::unload() {
  if (module_ == nullptr) return;
  host_.remove_play_callbacks();
  FreeLibrary(module_);
  module_ = nullptr;
  client_ = nullptr;
}

unsigned LoadedComponent::version() { return call_slot<unsigned>(client_, client::get_version); }

std::vector<const FactoryNode*> LoadedComponent::service_list() {
  std::vector<const FactoryNode*> nodes;
  auto* node = call_slot<const FactoryNode*>(client_, client::get_service_list);
  for (; node != nullptr && nodes.size() < 1000; node = node->next)
    nodes.push_back(node);
  return nodes;
}

void LoadedComponent::read_config(const void* data, unsigned size) {
  call_slot<void>(client_, client::read_config, data, size);
}

std::vector<uint8_t> LoadedComponent::write_config() {
  WriterObject writer;
  write_config(writer);
  return writer.bytes;
}

void LoadedComponent::write_config(WriterObject& writer) {
  call_slot<void>(client_, client::write_config, &writer);
}

void LoadedComponent::reserved() { call_slot<void>(client_, client::reserved); }

void LoadedComponent::set_module_strings(const char* first, const char* name) {
  call_slot<void>(client_, client::set_module_strings, first, name);
}

void LoadedComponent::set_services_ready(bool ready) {
  call_slot<void>(client_, client::set_services_ready, ready);
}

void* LoadedComponent::create_service(const GUID& class_guid, unsigned nth) {
  for (const FactoryNode* node : service_list()) {
    if (node->class_guid != class_guid) continue;
    if (nth-- == 0) return call_slot<void*>(node, 0);
  }
  return nullptr;
}

ExtensionWindowView LoadedComponent::create_extension_window(unsigned type) {
  for (unsigned nth = 0;; ++nth) {
    ExtensionWindowView object(create_service(guids::extension_window, nth));
    if (!object || object.type() == type) return object;
    object.release();
  }
}

void LoadedComponent::start(const std::vector<uint8_t>& blob) {
  read_config(blob);
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(module_, path, MAX_PATH);
  char path_utf8[3 * MAX_PATH] = {};
  WideCharToMultiByte(CP_UTF8, 0, path, -1, path_utf8, sizeof path_utf8, nullptr, nullptr);
  set_module_strings(path_utf8, module_name);
  for (unsigned i = 0; void* callback = create_service(guids::play_callback, i); ++i) {
    host_.add_play_callback(callback);
  }
  set_services_ready(true);
  for (unsigned i = 0; void* hook = create_service(guids::init_quit, i); ++i) {
    call_slot<void>(hook, init_quit::on_init);
    call_slot<int>(hook, service::release);
  }
}

std::vector<uint8_t> LoadedComponent::stop() {
  set_services_ready(false);
  for (unsigned i = 0; void* hook = create_service(guids::init_quit, i); ++i) {
    call_slot<void>(hook, init_quit::on_quit);
    call_slot<int>(hook, service::release);
  }
  host_.remove_play_callbacks();
  return write_config();
}

}  // namespace standin
