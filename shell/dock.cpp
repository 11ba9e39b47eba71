// Hosting extension windows and laying them out.
#include "shell/dock.h"

#include <algorithm>

namespace shell {

Dock::Dock(HWND container, Direction direction, int item_length)
    : container_(container), direction_(direction), item_length_(item_length) {}

bool Dock::holds(HWND window) const {
  return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

HWND Dock::attach(standin::ExtensionWindow& window) {
  HWND hosted = window.create_or_transfer(container_, &host_);
  if (hosted == nullptr) return nullptr;
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

}  // namespace shell
