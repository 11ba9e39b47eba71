// Everything the component keeps for the life of the library, defined in one
// place so that the order is stated, not left to the linker: C++ constructs
// the objects of one file in the order they appear and destroys them in the
// reverse order, so at unload the clean-ups run from the bottom of this file
// up. Service factories link themselves at the head of the service list as
// they are constructed, so the host reads them newest first.
#include <windows.h>

#include "diagnostics/init_quit_hook.h"
#include "diagnostics/notice_log.h"
#include "frame/component_client.h"
#include "frame/component_state.h"
#include "frame/component_version.h"
#include "frame/settings.h"
#include "host/guids.h"

namespace dwx {

// Configuration variables: their names are freed last of all.
ConfigList configuration;
ConfigInt mixer_id(configuration, "mixer_id");
ConfigInt mixer_control(configuration, "mixer_control");
ConfigInt mixer_mute_level(configuration, "mixer_mute_level");

// Static services.
StaticServiceFactory<ComponentVersion> component_version_service(component_version_class);

// Notices: whatever is still queued at unload is shown after everything
// below has been torn down.
NoticeLog notice_log;

StaticServiceFactory<InitQuitHook> init_quit_service(init_quit_class);

ComponentClient component_client;

// The module strings are the first thing freed at unload.
ComponentState component;

}  // namespace dwx

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
