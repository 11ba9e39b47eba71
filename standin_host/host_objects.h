// The objects a host hands to the component, each with an operation table laid
// out slot by slot as the interface pins it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

class Host;

// The HostApi given to the entry function: 0 find_service, 1 unused, 2 main_window.
struct HostApiObject {
  const void* const* table;
  Host* host;
};
HostApiObject make_host_api(Host* host);

// A counted service of the host (console, playback control): the host counts
// the references the component holds so tests can see each one given back.
struct HostServiceObject {
  const void* const* table;
  Host* host;
};
HostServiceObject make_console(Host* host);
HostServiceObject make_playback_control(Host* host);

// The host's string object: 0 get_text, 1 append, 2 set, 3 truncate, 4 length.
struct HostStringObject {
  HostStringObject();
  const void* const* table;
  std::string text;
};

// The configuration writer: 0 write(bytes, count); it collects the blob.
struct WriterObject {
  WriterObject();
  const void* const* table;
  std::vector<uint8_t> bytes;
  int writes = 0;
};

// A layout host of extension windows. Slots 0 to 18 are the framework's own
// and must not be called by the component; slot 19 is detach_window(window).
struct ExtensionHostObject {
  ExtensionHostObject();
  const void* const* table;
  std::vector<HWND> detached;  // every window detach_window was told of, in order
  int foreign_calls = 0;       // calls of slots the component has no business calling
};

}  // namespace standin
