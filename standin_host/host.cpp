// The stand-in host's services and records.
#include "standin_host/host.h"

#include "standin_host/abi.h"
#include "standin_host/window_class.h"

namespace standin {

namespace {

constexpr wchar_t main_window_class[] = L"StandinPlayerMain";

HWND create_main_window() {
  register_window_class(main_window_class, DefWindowProcW);
  return CreateWindowExW(0, main_window_class, L"Plinvox", WS_OVERLAPPEDWINDOW, 0, 0, 640, 400,
                         nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

Host::Host()
    : api_(make_host_api(this)),
      console_(make_console(this)),
      playback_(make_playback_control(this)),
      main_window_(create_main_window()) {}

Host::~Host() {
  if (owns_main_window_ && main_window_ != nullptr) DestroyWindow(main_window_);
}

void Host::use_main_window(HWND window) {
  if (owns_main_window_ && main_window_ != nullptr) DestroyWindow(main_window_);
  owns_main_window_ = false;
  main_window_ = window;
}

void* Host::find_service(const GUID* class_guid, unsigned index) {
  std::lock_guard<HostLock> lock(mutex_);
  if (class_guid == nullptr) return nullptr;
  if (record) lookups_.push_back(*class_guid);
  if (index != 0) return nullptr;
  if (*class_guid == guids::console && console_available) {
    ++console_references_;
    return &console_;
  }
  if (*class_guid == guids::playback_control && playback_available) {
    ++playback_references_;
    return &playback_;
  }
  return nullptr;
}

int Host::add_service_reference(const HostServiceObject* object) {
  std::lock_guard<HostLock> lock(mutex_);
  return object == &console_ ? ++console_references_ : ++playback_references_;
}

int Host::release_service_reference(const HostServiceObject* object) {
  std::lock_guard<HostLock> lock(mutex_);
  return object == &console_ ? --console_references_ : --playback_references_;
}

void Host::console_output(int level, const char* text, const char* source) {
  const ConsoleLine line{level, text ? text : "(null)", source ? source : "(null)"};
  {
    std::lock_guard<HostLock> lock(mutex_);
    if (record) console_lines_.push_back(line);
  }
  if (console_listener) console_listener(line);
}

int Host::volume() const {
  std::lock_guard<HostLock> lock(mutex_);
  return volume_hdb_;
}

void Host::set_volume_from_component(int hdb) {
  {
    std::lock_guard<HostLock> lock(mutex_);
    if (record) volume_sets_.push_back(hdb);
  }
  set_volume(hdb);
}

int Host::volume_for_component() {
  int hdb;
  {
    std::lock_guard<HostLock> lock(mutex_);
    if (record) ++volume_reads_;
    hdb = volume_hdb_;
  }
  if (read_listener) read_listener();
  return hdb;
}

void Host::change_volume(int hdb) { set_volume(hdb); }

void Host::set_volume(int hdb) {
  std::shared_ptr<const std::vector<void*>> callbacks;
  // Held across the callbacks only when asked to; the lock is recursive, so
  // the component may still call back into the host from inside.
  std::unique_lock<HostLock> held(mutex_, std::defer_lock);
  {
    std::lock_guard<HostLock> lock(mutex_);
    const bool changed = hdb != volume_hdb_;
    volume_hdb_ = hdb;
    if (!changed) return;
    callbacks = play_callbacks_;
    if (callbacks_under_lock) held.lock();
  }
  if (volume_listener) volume_listener(hdb);
  for (void* callback : *callbacks) {
    const unsigned flags = call_slot<unsigned>(callback, play_callback::get_flags);
    if (flags & play_callback::volume_change_flag) {
      call_slot<void>(callback, play_callback::on_volume_change, hdb);
    }
  }
}

void Host::add_play_callback(void* service) {
  std::lock_guard<HostLock> lock(mutex_);
  auto callbacks = std::make_shared<std::vector<void*>>(*play_callbacks_);
  callbacks->push_back(service);
  play_callbacks_ = callbacks;
}

void Host::remove_play_callbacks() {
  std::shared_ptr<const std::vector<void*>> callbacks;
  {
    std::lock_guard<HostLock> lock(mutex_);
    callbacks = play_callbacks_;
    play_callbacks_ = std::make_shared<const std::vector<void*>>();
  }
  for (void* callback : *callbacks)
    call_slot<int>(callback, service::release);
}

std::vector<ConsoleLine> Host::console_lines() const {
  std::lock_guard<HostLock> lock(mutex_);
  return console_lines_;
}

std::vector<int> Host::volume_sets() const {
  std::lock_guard<HostLock> lock(mutex_);
  return volume_sets_;
}

int Host::volume_reads() const {
  std::lock_guard<HostLock> lock(mutex_);
  return volume_reads_;
}

std::vector<GUID> Host::lookups() const {
  std::lock_guard<HostLock> lock(mutex_);
  return lookups_;
}

int Host::console_references() const {
  std::lock_guard<HostLock> lock(mutex_);
  return console_references_;
}

void Host::clear_records() {
  std::lock_guard<HostLock> lock(mutex_);
  console_lines_.clear();
  volume_sets_.clear();
  volume_reads_ = 0;
  lookups_.clear();
}

}  // namespace standin
