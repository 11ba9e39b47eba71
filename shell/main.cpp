// The player shell: loads the component in the stand-in host and shows what it offers.
#include <windows.h>

#include <cstdio>
#include <string>

#include "standin_host/loaded_component.h"

namespace {

std::string guid_text(const GUID& guid) {
  char text[40];
  snprintf(text, sizeof text, "%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
           static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
           guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6],
           guid.Data4[7]);
  return text;
}

const char* service_kind(const GUID& guid) {
  using namespace standin::guids;
  if (guid == play_callback) return "play callback";
  if (guid == menu_item) return "menu item";
  if (guid == preferences_page) return "preferences page";
  if (guid == component_version) return "component version";
  if (guid == init_quit) return "init/quit hook";
  if (guid == extension_window) return "extension window";
  return "unknown";
}

void print_blob(const std::vector<uint8_t>& blob) {
  printf("Configuration blob (%u bytes):\n", static_cast<unsigned>(blob.size()));
  size_t at = 0;
  auto u32 = [&](size_t offset) {
    return uint32_t{blob[offset]} | uint32_t{blob[offset + 1]} << 8 |
           uint32_t{blob[offset + 2]} << 16 | uint32_t{blob[offset + 3]} << 24;
  };
  while (at + 4 <= blob.size()) {
    const uint32_t name_length = u32(at);
    if (at + 4 + name_length + 4 > blob.size()) break;
    const std::string name(reinterpret_cast<const char*>(&blob[at + 4]), name_length);
    const uint32_t value_size = u32(at + 4 + name_length);
    const size_t value_at = at + 8 + name_length;
    if (value_at + value_size > blob.size()) break;
    if (value_size == 4) {
      printf("  %-18s %d\n", name.c_str(), static_cast<int32_t>(u32(value_at)));
    } else {
      printf("  %-18s (%u bytes)\n", name.c_str(), value_size);
    }
    at = value_at + value_size;
  }
}

}  // namespace

int main() {
  standin::Host host;
  standin::LoadedComponent component(host);
  if (!component.load()) {
    fprintf(stderr, "Could not load dwx_volume.dll: %s\n", component.error().c_str());
    return 1;
  }
  component.start();

  if (void* version = component.create_service(standin::guids::component_version)) {
    using namespace standin::version_service;
    printf("%s %s (%s)\n", standin::read_string_slot(version, get_component_name).c_str(),
           standin::read_string_slot(version, get_component_version).c_str(),
           standin::read_string_slot(version, get_file_name).c_str());
    printf("%s\n\n", standin::read_string_slot(version, get_about).c_str());
  }
  printf("Client version %u. Services, newest first:\n", component.version());
  for (const standin::FactoryNode* node : component.service_list()) {
    printf("  %s  %s\n", guid_text(node->class_guid).c_str(), service_kind(node->class_guid));
  }
  printf("\n");
  print_blob(component.stop());

  for (const standin::ConsoleLine& line : host.console_lines()) {
    printf("console [%d] %s: %s\n", line.level, line.source.c_str(), line.text.c_str());
  }
  component.unload();
  return 0;
}
