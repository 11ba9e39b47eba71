// Everything the component keeps for the life of the library, defined in one
// place so that the order is stated, not left to the linker: C++ constructs
// the objects of one file in the order they appear and destroys them in the
// reverse order, so at unload the clean-ups run from the bottom of this file
// up. Service factories link themselves at the head of the service list as
// they are constructed, so the host reads them newest first.
#include <windows.h>

#include "backend/host_volume.h"
#include "backend/mixer_connection.h"
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "backend/volume_watcher.h"
#include "commands/volume_commands.h"
#include "diagnostics/init_quit_hook.h"
#include "diagnostics/notice_log.h"
#include "frame/component_client.h"
#include "frame/component_state.h"
#include "frame/component_version.h"
#include "frame/own_windows.h"
#include "frame/settings.h"
#include "frame/window_class.h"
#include "host/guids.h"
#include "prefs/preferences_page.h"
#include "ui/counted_window.h"
#include "ui/volume_panel.h"
#include "ui/volume_toolbar.h"

namespace dwx {

// Configuration variables: their names are freed last of all.
ConfigList configuration;
ConfigInt mixer_id(configuration, "mixer_id");
ConfigInt mixer_control(configuration, "mixer_control");
ConfigInt mixer_mute_level(configuration, "mixer_mute_level");

// Static services.
StaticServiceFactory<VolumeWatcher> play_callback_service(play_callback_class);
StaticServiceFactory<VolumeCommands> menu_item_service(menu_item_class);
StaticServiceFactory<VolumePrefsPage> preferences_page_service(preferences_page_class);
StaticServiceFactory<ComponentVersion> component_version_service(component_version_class);

// Notices: whatever is still queued at unload is shown after everything
// below has been torn down.
NoticeLog notice_log;

// The volume: the mixer callback window's class outlives the connection that
// uses it; the connection closes its mixer before the backend lock goes.
WindowClassRef mixer_window_class(
    "8DEB9B7A-B049-4599-AE4B-258E9D58D5F3",
    &object_dispatch<MixerConnection, &MixerConnection::handle_message>);
VolumeBackend volume_backend;

StaticServiceFactory<InitQuitHook> init_quit_service(init_quit_class);

// The sliders. At unload the registry is emptied before the mixer closes, so
// no level reaches a window the host has let go of. Each slider class is
// unregistered, if a window still uses it, on its own side of the registry.
WindowClassRef toolbar_window_class(
    "C4553E95-BFE3-4016-A475-ACF3ED951813",
    &object_dispatch<VolumeToolbar, &VolumeToolbar::handle_host_message>);
SliderRegistry slider_registry;
WindowClassRef panel_window_class("F14E14BB-32D3-4d44-9D0F-CDEAC87F371E",
                                  &object_dispatch<VolumePanel, &VolumePanel::handle_host_message>);
// The panel's node ends nearest the head of the service list.
ExtensionWindowFactory<VolumeToolbar> toolbar_window_factory;
ExtensionWindowFactory<VolumePanel> panel_window_factory;

// At unload every slider window and page still there goes first, before the
// registry and the classes they use: the host need not have released or
// closed them.
OwnWindows own_windows;

VolumeComponentClient component_client;

// Never destroyed: every clean-up above reads it. Its module strings are
// the first thing freed at unload.
ComponentState component;
ModuleStringsCleanUp module_strings_clean_up;

}  // namespace dwx

// The library's one export, the host's way in.
extern "C" __declspec(dllexport) dwx::ComponentClient* __cdecl plinvox_get_interface(
    dwx::HostApi* host, HINSTANCE module_instance) {
  dwx::component.set_entry_arguments(host, module_instance);
  dwx::forget_playback_control();
  return &dwx::component_client;
}

// The runtime calls this before the destructors above run at detach.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  // A non-null reserved argument at detach: the process is ending, not
  // unloading the library.
  if (reason == DLL_PROCESS_DETACH && reserved != nullptr) dwx::component.set_process_ending();
  return TRUE;
}
