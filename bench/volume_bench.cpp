// What one volume change costs on its way to every slider, against sending
// the sliders the same messages directly.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "backend/slider_registry.h"
#include "backend/volume_backend.h"
#include "backend/volume_scale.h"
#include "bench_clock.h"
#include "frame/component_client.h"
#include "standin_host/abi.h"
#include "standin_host/host.h"

extern "C" dwx::ComponentClient* __cdecl plinvox_get_interface(dwx::HostApi* host,
                                                               HINSTANCE module_instance);

namespace {

// Real trackbars, as the toolbar registers them.
class Trackbars {
 public:
  explicit Trackbars(int count) {
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 40 * count, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    for (int i = 0; i < count; ++i) {
      HWND trackbar =
          CreateWindowExW(0, TRACKBAR_CLASSW, L"", WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS,
                          0, 40 * i, 300, 20, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
      SendMessageW(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 1000));
      windows_.push_back(trackbar);
    }
  }
  ~Trackbars() { DestroyWindow(parent_); }
  const std::vector<HWND>& windows() const { return windows_; }

 private:
  HWND parent_;
  std::vector<HWND> windows_;
};

void* play_callback() {
  for (auto* node = dwx::component_client.get_service_list(); node; node = node->next()) {
    if (IsEqualGUID(node->class_guid(), standin::guids::play_callback)) return node->create();
  }
  return nullptr;
}

// Two levels whose decibel values differ, so that every step is a change.
int level_for(int i) { return i % 2 ? 400 : 600; }

}  // namespace

int main() {
  InitCommonControls();
  standin::Host host;
  host.record = false;  // the host's own bookkeeping is not what is measured
  dwx::ComponentClient* client =
      plinvox_get_interface(reinterpret_cast<dwx::HostApi*>(host.api()), GetModuleHandleW(nullptr));
  client->set_module_strings("bench", "dwx_volume");
  client->set_services_ready(true);
  host.add_play_callback(play_callback());

  printf("One volume change, from set_volume through the host's play callback to TBM_SETPOS\n");
  printf("on every registered trackbar, against sending those trackbars TBM_SETPOS directly.\n\n");
  printf("%8s %16s %16s %8s\n", "windows", "component (us)", "direct (us)", "ratio");
  for (int count : {1, 8, 64}) {
    Trackbars trackbars(count);
    for (HWND trackbar : trackbars.windows())
      dwx::slider_registry.add(trackbar);
    const int iterations = count == 64 ? 400 : 3000;

    const double component = bench::microseconds_per_operation(
        [](int i) { dwx::volume_backend.set_volume(level_for(i)); }, iterations);
    // The positions the sliders end up showing for the two levels.
    const int shown[2] = {dwx::hdb_to_level(dwx::level_to_hdb(level_for(0))),
                          dwx::hdb_to_level(dwx::level_to_hdb(level_for(1)))};
    const double direct = bench::microseconds_per_operation(
        [&](int i) {
          for (HWND trackbar : trackbars.windows()) {
            SendMessageW(trackbar, TBM_SETPOS, TRUE, shown[i % 2]);
          }
        },
        iterations);
    printf("%8d %16.2f %16.2f %7.2fx\n", count, component, direct, component / direct);

    for (HWND trackbar : trackbars.windows())
      dwx::slider_registry.remove(trackbar);
  }
  host.remove_play_callbacks();
  return 0;
}
