// The library's one export, the host's way in.
#include <windows.h>

#include "frame/component_client.h"
#include "frame/component_state.h"

extern "C" __declspec(dllexport) dwx::ComponentClient* __cdecl plinvox_get_interface(
    dwx::HostApi* host, HINSTANCE module_instance) {
  dwx::component.set_entry_arguments(host, module_instance);
  return &dwx::component_client;
}
