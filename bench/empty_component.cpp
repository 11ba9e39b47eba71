// A component that offers nothing and does nothing: what loading, starting,
// stopping and unloading any library of this kind costs a player, the
// baseline the real component is measured against. Its client answers every
// operation a player makes, so the player takes the same steps with both;
// its service list is empty, so the steps that walk it end at once.
#include <windows.h>

#include <cstdint>

namespace {

// The client's operations in the host's slot order (virtual member functions
// are __thiscall on 32-bit, as the host calls them).
class EmptyClient final {
 public:
  virtual uint32_t get_version() { return 35; }
  virtual void* get_service_list() { return nullptr; }
  virtual void write_config(void*) {}
  virtual void read_config(const void*, uint32_t) {}
  virtual void reserved() {}
  virtual void set_module_strings(const char*, const char*) {}
  virtual void set_services_ready(bool) {}
};

EmptyClient client;

}  // namespace

extern "C" __declspec(dllexport) void* __cdecl plinvox_get_interface(void*, HINSTANCE) {
  return &client;
}
