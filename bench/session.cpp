// A player session for the benchmarks: the arrangement each path is measured in.
#include "session.h"

#include "support/blob.h"

namespace bench {

namespace {

// Shown without being activated: a visible active window takes Wine two
// seconds to destroy on a display without a window manager.
HWND make_container(int top) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_CLIPCHILDREN, 0, top, 1240, 390,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  return window;
}

}  // namespace

Session::Session(Controls controls, int sliders, bool mixer)
    : container_(make_container(0)), twin_parent_(make_container(400)), player_(container_) {
  player_.host.record = false;
  player_.host.change_volume(start_hdb);
  if (!player_.load()) {
    error_ = player_.error();
    return;
  }
  heap_ = &player_.attach<testing_support::HeapCalls>();
  if (controls == Controls::quiet) quiet_ = &player_.attach<QuietControls>();
  if (mixer) {
    mixer_ = &player_.attach<testing_support::ScriptedMixer>();
    mixer_->record_calls = false;
    mixer_->devices = {testing_support::ScriptedMixer::device(L"Out: scripted")};
    mixer_->set_value(mixer_control, 30000);
  }
  if (!heap_->applied() || (quiet_ && !quiet_->applied()) || (mixer_ && !mixer_->applied())) {
    error_ = "an import of the component could not be patched";
    return;
  }
  player_.start(mixer ? std::vector<uint8_t>(testing_support::BlobBuilder().record("mixer_id", 1))
                      : std::vector<uint8_t>{});
  if (!place_sliders(sliders)) error_ = "the component made no slider";
  // The first slider's first read opened the target.
  if (mixer_ && mixer_->callback_window() == nullptr) error_ = "the component opened no mixer";
  player::pump();
}

bool Session::place_sliders(int count) {
  using standin::extension_window::type_panel;
  using standin::extension_window::type_toolbar;
  for (int i = 0; i < count; ++i) {
    const unsigned type = i % 2 == 1 ? type_panel : type_toolbar;
    // The driven toolbar first, then a grid of small ones.
    const int column = (i - 1) % 16, row = (i - 1) / 16;
    RECT at = i == 0 ? RECT{10, 10, 450, 40} : RECT{10 + 76 * column, 50 + 84 * row, 0, 0};
    if (i != 0) {
      at.right = at.left + (type == type_panel ? 30 : 70);
      at.bottom = at.top + (type == type_panel ? 80 : 30);
    }
    const player::Slider slider = player_.add_slider(type, at);
    if (slider.window == nullptr) return false;
    if (i == 0) trackbar_ = slider.trackbar;
  }
  return trackbar_ != nullptr;
}

Session::~Session() {
  player_.close();
  DestroyWindow(container_);
  DestroyWindow(twin_parent_);
  player::pump();
}

}  // namespace bench
