// A session with the component: the stand-in host, the component loaded into
// it, and the configuration file it starts from and saves to.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/settings.h"
#include "standin_host/extension_window.h"
#include "standin_host/host.h"
#include "standin_host/loaded_component.h"
#include "standin_host/menu_items.h"
#include "standin_host/preferences.h"

namespace shell {

// A menu command the component offers.
struct Command {
  unsigned index;
  std::string name;     // its path, "Components/..."
  std::string display;  // what the menu shows
  GUID guid;
};

// A preferences page, with where the player lists it.
struct Page {
  std::string parent_name;
  std::string name;
  standin::PreferencesPage page;
};

// What the component says of itself through its version service.
struct ComponentInfo {
  std::string file_name, name, version, about;
};

class ComponentSession {
 public:
  // `config_path` may be relative: to the current folder of this moment.
  explicit ComponentSession(const std::wstring& config_path);
  ~ComponentSession();
  ComponentSession(const ComponentSession&) = delete;
  ComponentSession& operator=(const ComponentSession&) = delete;

  // Loads dwx_volume.dll from the program's folder and starts it as the
  // player does, with the blob from the configuration file and the player's
  // volume as it was left. A damaged file is kept as NAME.bad first.
  bool start(std::string* error);
  // Lets go of every service, stops the component, saves its configuration
  // with the shell's settings and unloads it; notices still queued then show
  // in its message box. A file that could not be read at start is not
  // written. False when the configuration could not be saved.
  bool stop();
  bool running() const { return component_.loaded(); }

  standin::Host& host() { return host_; }
  // What was wrong with the configuration file at start, if anything.
  const std::string& config_problem() const { return config_problem_; }
  const std::wstring& config_path() const { return config_path_; }
  // The shell's settings as the file held them; the shell updates them
  // before stop() saves them.
  ShellSettings& settings() { return settings_; }
  const ComponentInfo& component_info() const { return info_; }

  const std::vector<Command>& commands() const { return commands_; }
  void perform(unsigned index);
  std::vector<Page>& pages() { return pages_; }
  // The extension windows the component offers, by their kind.
  standin::ExtensionWindowView& toolbar() { return toolbar_; }
  standin::ExtensionWindowView& panel() { return panel_; }

 private:
  void find_services();
  void keep_damaged_file();

  std::wstring config_path_;
  std::string config_problem_;
  bool may_save_ = true;
  ShellSettings settings_;
  ComponentInfo info_;
  standin::Host host_;
  standin::LoadedComponent component_{host_};
  std::unique_ptr<standin::MenuItems> menu_items_;
  std::vector<Command> commands_;
  std::vector<Page> pages_;
  std::vector<void*> services_;  // every reference held, released at stop
  standin::ExtensionWindowView toolbar_;
  standin::ExtensionWindowView panel_;
};

// The folder the shell runs from, with a trailing backslash.
std::wstring program_folder();

}  // namespace shell
