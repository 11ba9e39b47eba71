#include "soak/player_session.h"

#include <commctrl.h>

#include <cstdlib>

namespace {

namespace ew = standin::extension_window;

// The page's device list, as its dialog template numbers it.
constexpr int device_list = 1000;

HWND trackbar_in(HWND host_window) {
  return FindWindowExW(host_window, nullptr, TRACKBAR_CLASSW, nullptr);
}

int trackbar_pos(HWND trackbar) {
  return static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
}

}  // namespace

void pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND player_container() {
  static const HWND container =
      CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 600, 320,
                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  return container;
}

standin::PreferencesWindow& player_preferences() {
  static standin::PreferencesWindow* const window = new standin::PreferencesWindow;
  return *window;
}

unsigned count_from_environment(const char* name, unsigned fallback) {
  char text[32] = {};
  const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
  if (length == 0 || length >= sizeof text) return fallback;
  const unsigned long value = strtoul(text, nullptr, 10);
  return value > 0 ? static_cast<unsigned>(value) : fallback;
}

PlayerSession::PlayerSession(HWND container, standin::PreferencesWindow& preferences)
    : container_(container), preferences_(preferences) {
  // A player has winmm loaded for its own sound, so the component's import
  // of it finds it there. This program does not: without this each unload
  // would take winmm along, and with it Wine's msacm32, which leaves six
  // registry keys open every time it is unloaded.
  static const HMODULE winmm = LoadLibraryW(L"winmm.dll");
  (void)winmm;
}

standin::ExtensionWindowView PlayerSession::slider(unsigned type, RECT where, HWND* window) {
  for (unsigned nth = 0;; ++nth) {
    standin::ExtensionWindowView object(
        component.create_service(standin::guids::extension_window, nth));
    if (!object) return object;
    if (object.type() != type) {
      object.release();
      continue;
    }
    *window = object.create_or_transfer(container_, &layout_);
    if (*window != nullptr) {
      SetWindowPos(*window, nullptr, where.left, where.top, where.right - where.left,
                   where.bottom - where.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    return object;
  }
}

bool PlayerSession::open() {
  if (!component.load()) {
    error_ = component.error();
    return false;
  }
  // In place before anything could reach winmm: the page lists its devices.
  mixer_ = std::make_unique<testing_support::ScriptedMixer>(component.module());
  mixer_->devices = {testing_support::ScriptedMixer::device(L"Speakers")};
  mixer_->record_calls = false;
  component.start();
  toolbar_ = slider(ew::type_toolbar, RECT{10, 10, 530, 40}, &toolbar_window_);
  panel_ = slider(ew::type_panel, RECT{10, 60, 40, 300}, &panel_window_);
  toolbar_trackbar_ = trackbar_in(toolbar_window_);
  panel_trackbar_ = trackbar_in(panel_window_);
  if (toolbar_trackbar_ == nullptr || panel_trackbar_ == nullptr) {
    error_ = "a slider has no trackbar";
    return false;
  }
  SendMessageW(toolbar_trackbar_, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel_));
  y_ = (channel_.top + channel_.bottom) / 2;

  commands_ =
      std::make_unique<standin::MenuItems>(component.create_service(standin::guids::menu_item));
  page_service_ = component.create_service(standin::guids::preferences_page);
  if (commands_->service() == nullptr || page_service_ == nullptr) {
    error_ = "the component offers no commands or no preferences page";
    return false;
  }
  standin::PreferencesPage page(page_service_);
  if (preferences_.open(page) == nullptr) {
    error_ = "the preferences page was not created";
    return false;
  }
  pump_messages();
  return true;
}

void PlayerSession::close() {
  if (!component.loaded()) return;
  preferences_.close();
  for (standin::ExtensionWindowView* object : {&toolbar_, &panel_}) {
    if (!*object) continue;
    object->destroy();
    object->release();
    *object = standin::ExtensionWindowView();
  }
  if (commands_ && commands_->service() != nullptr) {
    standin::call_slot<int>(commands_->service(), standin::service::release);
  }
  commands_.reset();
  if (page_service_ != nullptr) standin::call_slot<int>(page_service_, standin::service::release);
  page_service_ = nullptr;
  pump_messages();
  component.stop();
  // The patches go while the module's import table is still mapped.
  mixer_.reset();
  component.unload();
}

void PlayerSession::post_mouse(UINT message, WPARAM buttons, int x) {
  PostMessageW(toolbar_trackbar_, message, buttons, MAKELPARAM(x, y_));
  pump_messages();
}

void PlayerSession::choose_device(int device) {
  HWND list = GetDlgItem(preferences_.page(), device_list);
  SetForegroundWindow(preferences_.frame());
  SetFocus(list);
  // One entry per key press; a list that cannot move any more stops it.
  for (int shown = device_shown(); shown != device;) {
    SendMessageW(list, WM_KEYDOWN, shown < device ? VK_DOWN : VK_UP, 0);
    const int now = device_shown();
    if (now == shown) break;
    shown = now;
  }
  pump_messages();
}

int PlayerSession::device_shown() const {
  return static_cast<int>(
      SendDlgItemMessageW(preferences_.page(), device_list, CB_GETCURSEL, 0, 0));
}

int PlayerSession::toolbar_level() const { return trackbar_pos(toolbar_trackbar_); }

int PlayerSession::panel_level() const { return 1000 - trackbar_pos(panel_trackbar_); }
