// Hosting extension windows and laying them out.
#include "shell/dock.h"

#include <algorithm>

#include "shell/screen.h"

namespace shell {

namespace {
constexpr wchar_t dock_class[] = L"PlinvoxDock";
}  // namespace

Dock::Dock(Direction direction, int item_length, int dpi)
    : direction_(direction), item_length_96_(item_length), item_length_(scaled(item_length, dpi)) {}

Dock::~Dock() {
  if (container_ != nullptr && IsWindow(container_)) standin::disown_window(container_);
}

bool Dock::create(HWND parent, DWORD style, DWORD ex_style, const wchar_t* title,
                  const RECT& rect) {
  standin::register_window_class(dock_class);
  container_ = CreateWindowExW(ex_style, dock_class, title, style, rect.left, rect.top,
                               rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                               GetModuleHandleW(nullptr), static_cast<standin::WindowOwner*>(this));
  return container_ != nullptr;
}

bool Dock::holds(HWND window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

HWND Dock::attach(standin::ExtensionWindowView& window) {
  HWND hosted = window.create_or_transfer(container_, &host_);
  if (hosted == nullptr) return nullptr;
  // A window moved here from here: the component has told this dock it
  // left, but it is back.
  host_.detached.erase(std::remove(host_.detached.begin(), host_.detached.end(), hosted),
                       host_.detached.end());
  if (!holds(hosted)) windows_.push_back(hosted);
  layout();
  ShowWindow(hosted, SW_SHOWNA);
  return hosted;
}

void Dock::sync() {
  for (HWND gone : host_.detached) {
    windows_.erase(std::remove(windows_.begin(), windows_.end(), gone), windows_.end());
  }
  host_.detached.clear();
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                [this](HWND window) {
                                  return !IsWindow(window) || GetParent(window) != container_;
                                }),
                 windows_.end());
  layout();
}

void Dock::set_dpi(int dpi) {
  item_length_ = scaled(item_length_96_, dpi);
  layout();
}

void Dock::layout() {
  RECT area;
  GetClientRect(container_, &area);
  const int margin = 2;
  int offset = margin;
  for (HWND window : windows_) {
    if (direction_ == Direction::across) {
      MoveWindow(window, offset, margin, item_length_, area.bottom - 2 * margin, TRUE);
    } else {
      MoveWindow(window, margin, offset, area.right - 2 * margin, area.bottom - 2 * margin, TRUE);
    }
    offset += item_length_ + margin;
  }
}

LRESULT Dock::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_SIZE && window == container_) layout();
  if (message == message_dpi_changed && window == container_) {
    // A floating frame on a monitor of another DPI, as the main window
    // does: its windows at their new size, where Windows suggests.
    const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
    SetWindowPos(container_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    set_dpi(HIWORD(wparam));
    return 0;
  }
  if (message == WM_CLOSE) {
    if (on_close) on_close();
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace shell
