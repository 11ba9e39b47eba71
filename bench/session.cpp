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

void drain_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
    DispatchMessageW(&message);
}

Session::Session(Controls controls, int sliders, bool mixer) {
  host_.record = false;
  host_.change_volume(start_hdb);
  if (!component_.load()) {
    error_ = component_.error();
    return;
  }
  heap_ = std::make_unique<testing_support::HeapCalls>(module());
  if (controls == Controls::quiet) quiet_ = std::make_unique<QuietControls>(module());
  if (mixer) {
    mixer_ = std::make_unique<testing_support::ScriptedMixer>(module());
    mixer_->record_calls = false;
    mixer_->devices = {testing_support::ScriptedMixer::device(L"Out: scripted")};
    mixer_->set_value(mixer_control, 30000);
  }
  if (!heap_->applied() || (quiet_ && !quiet_->applied()) || (mixer_ && !mixer_->applied())) {
    error_ = "an import of the component could not be patched";
    return;
  }
  component_.start(mixer
                       ? std::vector<uint8_t>(testing_support::BlobBuilder().record("mixer_id", 1))
                       : std::vector<uint8_t>{});
  started_ = true;
  menu_items_ = component_.create_service(standin::guids::menu_item);
  container_ = make_container(0);
  twin_parent_ = make_container(400);
  if (!place_sliders(sliders)) error_ = "the component made no slider";
  // The first slider's first read opened the target.
  if (mixer_ && mixer_->callback_window() == nullptr) error_ = "the component opened no mixer";
  drain_messages();
}

bool Session::place_sliders(int count) {
  using standin::extension_window::type_panel;
  using standin::extension_window::type_toolbar;
  for (int i = 0; i < count; ++i) {
    const unsigned type = i % 2 == 1 ? type_panel : type_toolbar;
    standin::ExtensionWindowView slider;
    for (unsigned nth = 0; !slider; ++nth) {
      standin::ExtensionWindowView object(
          component_.create_service(standin::guids::extension_window, nth));
      if (!object) return false;
      if (object.type() == type) {
        slider = object;
      } else {
        object.release();
      }
    }
    sliders_.push_back(slider);
    HWND window = slider.create_or_transfer(container_, &layout_);
    if (window == nullptr) return false;
    // The driven toolbar first, then a grid of small ones.
    const int column = (i - 1) % 16, row = (i - 1) / 16;
    RECT at = i == 0 ? RECT{10, 10, 450, 40} : RECT{10 + 76 * column, 50 + 84 * row, 0, 0};
    if (i != 0) {
      at.right = at.left + (type == type_panel ? 30 : 70);
      at.bottom = at.top + (type == type_panel ? 80 : 30);
    }
    SetWindowPos(window, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (i == 0) trackbar_ = GetWindow(window, GW_CHILD);
  }
  return trackbar_ != nullptr;
}

Session::~Session() {
  for (standin::ExtensionWindowView& slider : sliders_) {
    while (slider.release() > 0) {
    }
  }
  if (menu_items_ != nullptr) standin::call_slot<int>(menu_items_, standin::service::release);
  if (started_) component_.stop();
  if (container_ != nullptr) DestroyWindow(container_);
  if (twin_parent_ != nullptr) DestroyWindow(twin_parent_);
  // The patches write into the component's image: they go before it does.
  mixer_.reset();
  quiet_.reset();
  heap_.reset();
  component_.unload();
  drain_messages();
}

}  // namespace bench
