// Starting, serving and stopping the component as the player does.
#include "shell/component_session.h"

#include "shell/config_file.h"
#include "shell/text.h"
#include "standin_host/abi.h"

namespace shell {

std::wstring program_folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

namespace {

// A name as a person gives it, relative to the current folder, made whole at
// once: the Open dialog may change the current folder before the save.
std::wstring full_path(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

}  // namespace

ComponentSession::ComponentSession(const std::wstring& config_path)
    : config_path_(full_path(config_path)) {}

ComponentSession::~ComponentSession() {
  if (running()) stop();
}

bool ComponentSession::start(std::string* error) {
  standin::init_common_controls();
  if (!component_.load((program_folder() + L"dwx_volume.dll").c_str())) {
    *error = component_.error();
    return false;
  }
  const LoadedConfig config = load_config(config_path_);
  config_problem_ = config.problem;
  settings_ = config.shell;
  // Settings kept in memory only: the file may hold what this session
  // cannot see, and another program may be writing it.
  may_save_ = config.state != LoadedConfig::State::unreadable;
  if (config.state == LoadedConfig::State::damaged) keep_damaged_file();
  if (settings_.saved) host_.change_volume(settings_.volume_hdb);
  component_.start(config.blob);
  find_services();
  return true;
}

void ComponentSession::keep_damaged_file() {
  const std::wstring kept = config_path_ + L".bad";
  const size_t name = kept.find_last_of(L"\\/") + 1;
  if (CopyFileW(config_path_.c_str(), kept.c_str(), FALSE)) {
    config_problem_ += "; the damaged file is kept as " + narrow(kept.substr(name));
  } else {
    config_problem_ += "; it could not be kept as " + narrow(kept.substr(name)) +
                       ", so it is not written over at exit";
    may_save_ = false;
  }
}

void ComponentSession::find_services() {
  if (void* version = component_.create_service(standin::guids::component_version)) {
    using namespace standin::version_service;
    info_ = ComponentInfo{standin::read_string_slot(version, get_file_name),
                          standin::read_string_slot(version, get_component_name),
                          standin::read_string_slot(version, get_component_version),
                          standin::read_string_slot(version, get_about)};
    standin::call_slot<int>(version, standin::service::release);
  }
  if (void* service = component_.create_service(standin::guids::menu_item)) {
    services_.push_back(service);
    menu_items_ = std::make_unique<standin::MenuItems>(service);
    for (unsigned i = 0; i < menu_items_->count(); ++i) {
      Command command{i, {}, {}, {}};
      standin::HostStringObject name;
      menu_items_->item_name(i, &name);
      command.name = name.text;
      const standin::MenuDisplay display = menu_items_->display(i, 0);
      if (!display.shown) continue;
      command.display = display.text;
      menu_items_->item_guid(i, &command.guid);
      commands_.push_back(command);
    }
  }
  for (unsigned i = 0;
       void* service = component_.create_service(standin::guids::preferences_page, i); ++i) {
    services_.push_back(service);
    standin::PreferencesPage page(service);
    pages_.push_back(Page{page.parent_name(), page.page_name(), page});
  }
  // The one toolbar and the one panel this player has a place for.
  toolbar_ = component_.create_extension_window(standin::extension_window::type_toolbar);
  panel_ = component_.create_extension_window(standin::extension_window::type_panel);
}

void ComponentSession::perform(unsigned index) {
  if (menu_items_) menu_items_->perform(index);
}

bool ComponentSession::stop() {
  if (!running()) return true;
  // The layout goes first: the windows, then the objects that made them.
  for (standin::ExtensionWindowView* window : {&toolbar_, &panel_}) {
    if (*window) {
      window->destroy();
      window->release();
      *window = standin::ExtensionWindowView();
    }
  }
  pages_.clear();
  menu_items_.reset();
  commands_.clear();
  for (void* service : services_)
    standin::call_slot<int>(service, standin::service::release);
  services_.clear();

  const std::vector<uint8_t> blob = component_.stop();
  bool saved = true;
  if (may_save_) {
    settings_.saved = true;
    settings_.volume_hdb = host_.volume();
    // The folder of a first start under %APPDATA%. A name without one is a
    // file, never a folder.
    const size_t folder_end = config_path_.find_last_of(L"\\/");
    if (folder_end != std::wstring::npos) {
      CreateDirectoryW(config_path_.substr(0, folder_end).c_str(), nullptr);
    }
    saved = save_config(config_path_, blob, settings_);
  }
  component_.unload();
  return saved;
}

}  // namespace shell
