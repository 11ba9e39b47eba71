// Loading the component into the stand-in host, placing its sliders, working
// its commands and its page, and letting go of all of it again.
#include "player/player.h"

#include <commctrl.h>

#include "standin_host/abi.h"
#include "support/blob.h"

namespace player {

void pump() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

HWND shared_container() {
  static HWND container = nullptr;
  if (!IsWindow(container)) {
    container = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                1240, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  return container;
}

int Slider::level() const {
  const int position = trackbar_pos(trackbar);
  return type == standin::extension_window::type_panel ? 1000 - position : position;
}

Player::Player(HWND container) : container(container ? container : shared_container()) {
  // A player has winmm loaded for its own sound, so the component's import
  // of it finds it there. Without this each unload would take winmm along,
  // and with it Wine's msacm32, which leaves registry keys open every time
  // it is unloaded.
  static const HMODULE winmm = LoadLibraryW(L"winmm.dll");
  (void)winmm;
  standin::init_common_controls();
}

bool Player::load(const wchar_t* dll) { return component.load(dll); }

void Player::start(const std::vector<uint8_t>& blob) {
  component.start(blob);
  started_ = true;
}

void Player::close_windows() {
  close_page();
  if (!component.loaded()) {
    // Unloaded under them: nothing of the component's may be called now.
    sliders_.clear();
    kept_.clear();
    commands_.clear();
    page_service_ = nullptr;
    return;
  }
  // The layout goes first: the windows, then the objects that made them.
  for (Slider& slider : sliders_) {
    slider.object.destroy();
    while (slider.object.release() > 0) {
    }
  }
  sliders_.clear();
  for (standin::ExtensionWindowView& object : kept_) {
    while (object.release() > 0) {
    }
  }
  kept_.clear();
  for (const auto& items : commands_) {
    if (items->service() != nullptr) {
      standin::call_slot<int>(items->service(), standin::service::release);
    }
  }
  commands_.clear();
  if (page_service_ != nullptr) standin::call_slot<int>(page_service_, standin::service::release);
  page_service_ = nullptr;
  pump();
}

void Player::close() {
  if (!component.loaded()) return;
  close_windows();
  if (started_) component.stop();
  started_ = false;
  unload();
}

void Player::unload() {
  while (!attached_.empty())
    attached_.pop_back();
  component.unload();
  started_ = false;
}

standin::ExtensionWindowView Player::new_window_object(unsigned type, bool kept) {
  standin::ExtensionWindowView object = component.create_extension_window(type);
  if (object && kept) kept_.push_back(object);
  return object;
}

HWND Player::place(standin::ExtensionWindowView& object, RECT where, HWND parent,
                   standin::ExtensionHostObject* holder) {
  if (!object) return nullptr;
  HWND window = object.create_or_transfer(parent != nullptr ? parent : container,
                                          holder != nullptr ? holder : &layout);
  if (window == nullptr) return nullptr;
  SetWindowPos(window, nullptr, where.left, where.top, where.right - where.left,
               where.bottom - where.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  pump();
  return window;
}

Slider Player::add_slider(unsigned type, RECT where) {
  Slider slider;
  slider.type = type;
  slider.object = new_window_object(type, false);
  if (!slider.object) return slider;
  sliders_.push_back(slider);
  slider.window = place(slider.object, where);
  slider.trackbar = trackbar_in(slider.window);
  return slider;
}

standin::MenuItems& Player::commands() {
  if (commands_.empty()) {
    commands_.push_back(
        std::make_unique<standin::MenuItems>(component.create_service(standin::guids::menu_item)));
  }
  return *commands_.back();
}

HWND Player::open_page() {
  if (page_service_ == nullptr) {
    page_service_ = component.create_service(standin::guids::preferences_page);
  }
  if (page_service_ == nullptr) return nullptr;
  if (!preferences_) preferences_ = std::make_unique<standin::PreferencesWindow>();
  standin::PreferencesPage page(page_service_);
  page_ = preferences_->open(page);
  pump();
  return page_;
}

void Player::close_page() {
  if (preferences_) preferences_->close();
  page_ = nullptr;
}

bool Player::choose(int list, int index) {
  HWND control = page_ != nullptr ? GetDlgItem(page_, list) : nullptr;
  if (control == nullptr || index < 0 || SendMessageW(control, CB_GETCOUNT, 0, 0) <= index) {
    return false;
  }
  SendMessageW(control, CB_SETCURSEL, index, 0);
  SendMessageW(page_, WM_COMMAND, MAKEWPARAM(list, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(control));
  pump();
  return true;
}

int Player::selection(int list) const {
  return static_cast<int>(SendDlgItemMessageW(page_, list, CB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> Player::entries(int list) const {
  std::vector<std::wstring> texts;
  HWND control = GetDlgItem(page_, list);
  const LRESULT count = SendMessageW(control, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(control, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
    SendMessageW(control, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(wcslen(text.c_str()));
    texts.push_back(text);
  }
  return texts;
}

bool Player::shown(int item) const {
  return (GetWindowLongW(GetDlgItem(page_, item), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::map<std::string, int32_t> Player::stored() {
  return testing_support::blob_values(component.write_config());
}

std::vector<std::string> Player::console(bool with_source) const {
  std::vector<std::string> lines;
  for (const standin::ConsoleLine& line : host.console_lines()) {
    lines.push_back(std::to_string(line.level) + "|" + (with_source ? line.source + "|" : "") +
                    line.text);
  }
  return lines;
}

HWND trackbar_in(HWND host_window) {
  return host_window != nullptr ? GetWindow(host_window, GW_CHILD) : nullptr;
}

int trackbar_pos(HWND trackbar) {
  return static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
}

namespace {

struct TooltipSearch {
  HWND owner;
  HWND found;
};

// A tooltip that has a tool for the window. Its owner says less: a popup
// given a child window as owner is owned by that child's top-level window.
BOOL CALLBACK find_tooltip(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TooltipSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
  TTTOOLINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = search->owner;
  if (SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

RECT rect_message(HWND trackbar, UINT message) {
  RECT r = {};
  SendMessageW(trackbar, message, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

LRESULT mouse(HWND trackbar, UINT message, WPARAM buttons, int x) {
  return SendMessageW(trackbar, message, buttons, MAKELPARAM(x, channel_y(trackbar)));
}

}  // namespace

RECT channel_rect(HWND trackbar) { return rect_message(trackbar, TBM_GETCHANNELRECT); }
RECT thumb_rect(HWND trackbar) { return rect_message(trackbar, TBM_GETTHUMBRECT); }

HWND tooltip_of(HWND host_window) {
  TooltipSearch search{host_window, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), find_tooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string tooltip_text(HWND tooltip, HWND tool_window) {
  wchar_t text[256] = {};
  TTTOOLINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = tool_window;
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  char utf8[512] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

int x_for(HWND trackbar, int level) {
  const RECT channel = channel_rect(trackbar);
  const RECT thumb = thumb_rect(trackbar);
  const int half = (thumb.right - thumb.left) / 2;
  const int left = channel.left + half, span = channel.right - half - left;
  return left + MulDiv(level, span, 1000);
}

int channel_y(HWND trackbar) {
  const RECT channel = channel_rect(trackbar);
  return (channel.top + channel.bottom) / 2;
}

LRESULT press(HWND trackbar, int x) { return mouse(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, x); }
LRESULT move(HWND trackbar, int x) { return mouse(trackbar, WM_MOUSEMOVE, MK_LBUTTON, x); }
LRESULT release(HWND trackbar, int x) { return mouse(trackbar, WM_LBUTTONUP, 0, x); }

void drag(HWND trackbar, int level) {
  press(trackbar, x_for(trackbar, level / 2));
  for (int i = 1; i <= 4; ++i)
    move(trackbar, x_for(trackbar, level / 2 + level * i / 8));
  release(trackbar, x_for(trackbar, level));
  pump();
}

}  // namespace player
