// What the host shows about this component.
#include "frame/component_version.h"

#include "frame/component_state.h"
#include "text/utf8_string.h"
#include "version.h"

namespace dwx {

namespace {
constexpr const char* component_name = DWX_DESCRIPTION;
constexpr const char* component_version = DWX_VERSION_TEXT;
constexpr const char* component_about =
    "Provides a Dockwell service for controlling the\n"
    "player internal or system mixer volume level.";

void fill(HostString* out, const char* text) {
  if (out != nullptr) set_text(*out, text);
}
}  // namespace

void ComponentVersion::get_file_name(HostString* out) { fill(out, module_name()); }
void ComponentVersion::get_component_name(HostString* out) { fill(out, component_name); }
void ComponentVersion::get_component_version(HostString* out) { fill(out, component_version); }
void ComponentVersion::get_about(HostString* out) { fill(out, component_about); }

}  // namespace dwx
