#include "backend/backend_fixture.h"

#include <commctrl.h>

#include "backend/mixer_connection.h"
#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "frame/component_client.h"
#include "frame/settings.h"
#include "host/host_api.h"

extern "C" dwx::ComponentClient* __cdecl plinvox_get_interface(dwx::HostApi* host,
                                                               HINSTANCE module_instance);

standin::Host* BackendTest::host = nullptr;

namespace {
constexpr wchar_t slider_class[] = L"BackendTestSlider";
}  // namespace

int level_read(dwx::MixerConnection& connection) {
  dwx::VolumeLevel level;
  return connection.read_level(&level) ? level : read_failed;
}

int level_read(dwx::VolumeBackend& backend) {
  dwx::VolumeLevel level;
  return backend.get_volume(&level) ? level : read_failed;
}

RecordingSlider::RecordingSlider() {
  received_.reserve(4096);  // recording must not allocate while a test counts allocations
  WNDCLASSW description = {};
  description.lpfnWndProc = procedure;
  description.hInstance = GetModuleHandleW(nullptr);
  description.lpszClassName = slider_class;
  RegisterClassW(&description);
  window_ = CreateWindowExW(0, slider_class, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            description.hInstance, this);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

RecordingSlider::~RecordingSlider() { DestroyWindow(window_); }

LRESULT CALLBACK RecordingSlider::procedure(HWND window, UINT message, WPARAM wparam,
                                            LPARAM lparam) {
  auto* self = reinterpret_cast<RecordingSlider*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == TBM_SETPOS && self != nullptr) {
    self->received_.emplace_back(wparam, lparam);
    return 0;
  }
  // A broadcast from another thread, handled as the component's sliders do.
  if (message == dwx::slider_update_message) {
    dwx::slider_registry.take_update(window, wparam);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

std::vector<std::string> RecordingSlider::positions() const {
  std::vector<std::string> out;
  for (const auto& [wparam, lparam] : received_) {
    out.push_back(std::to_string(wparam) + ":" + std::to_string(lparam));
  }
  return out;
}

std::vector<int> RecordingSlider::levels() const {
  std::vector<int> out;
  for (const auto& received : received_)
    out.push_back(static_cast<int>(received.second));
  return out;
}

void RecordingSlider::clear() { received_.clear(); }

void BackendTest::SetUpTestSuite() {
  if (host != nullptr) return;
  host = new standin::Host();  // kept to the end: the component's objects outlive the tests
  dwx::ComponentClient* client = plinvox_get_interface(reinterpret_cast<dwx::HostApi*>(host->api()),
                                                       GetModuleHandleW(nullptr));
  client->set_module_strings("first", "dwx_volume");
  client->set_services_ready(true);
}

void BackendTest::SetUp() {
  dwx::mixer_id.set(0);
  dwx::mixer_control.set(0);
  dwx::volume_backend.reopen(0, 0);
  host->console_available = true;
  host->playback_available = true;
  host->change_volume(0);
  flush_events();
  host->clear_records();
}

void BackendTest::TearDown() {
  dwx::mixer_id.set(0);
  dwx::volume_backend.reopen(0, 0);
}

std::vector<std::string> BackendTest::console() const {
  std::vector<std::string> lines;
  for (const auto& line : host->console_lines()) {
    lines.push_back(std::to_string(line.level) + "|" + line.text);
  }
  return lines;
}

void BackendTest::flush_events() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}
