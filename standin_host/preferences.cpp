// The stand-in preferences window that hosts a component's page.
#include "standin_host/preferences.h"

#include "standin_host/window_class.h"

namespace standin {

namespace {

constexpr wchar_t frame_class[] = L"StandinPreferencesFrame";

// A page is a modeless dialog: its messages arrive through the host's message
// loop like any other window's, so the frame needs nothing of its own.
LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

PreferencesWindow::PreferencesWindow() {
  register_window_class(frame_class, frame_procedure);  // a second frame finds it registered
  // A popup: on an X server without a window manager Wine waits two seconds
  // for every framed window it takes down.
  frame_ = CreateWindowExW(0, frame_class, L"Preferences", WS_POPUP | WS_BORDER, 40, 40, 560, 240,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

PreferencesWindow::~PreferencesWindow() {
  close();
  if (frame_ != nullptr) DestroyWindow(frame_);
}

HWND PreferencesWindow::open(PreferencesPage& page) {
  close();
  page_ = page.create(frame_);
  if (page_ == nullptr) return nullptr;
  ShowWindow(frame_, SW_SHOWNOACTIVATE);
  SetWindowPos(page_, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
  ShowWindow(page_, SW_SHOWNOACTIVATE);
  UpdateWindow(frame_);
  return page_;
}

void PreferencesWindow::close() {
  if (page_ != nullptr && IsWindow(page_)) DestroyWindow(page_);
  page_ = nullptr;
}

}  // namespace standin
