// The tooltip that follows the cursor through a toolbar drag, as an object
// that owns its window.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dwx {

// Lives in the toolbar object, in the place of the tooltip's window handle,
// and holds a window only from a press to the end of that drag. A popup's
// owner is always a top-level window, so the window, given the host window
// as its owner, belongs to the host's top-level window and would outlive
// the host window. It goes when the host window does (WM_DESTROY), or with
// this object, when the object is released on another thread and the host
// window closes without the component hearing of it. The host window is
// also the tooltip's one tool; it is passed in each time, as this object
// has room for one handle only.
class TrackingTooltip {
 public:
  constexpr TrackingTooltip() = default;
  ~TrackingTooltip() { hide(); }
  TrackingTooltip(const TrackingTooltip&) = delete;
  TrackingTooltip& operator=(const TrackingTooltip&) = delete;

  // Replaces any tooltip shown with a new one showing `text` just under the
  // screen point. Whether the window could be created is not checked:
  // without it the messages that follow reach no window and change nothing.
  void show(HWND host_window, const char* text, POINT screen);
  // Moves the tooltip, if there is one, under the screen point.
  void move(POINT screen);
  // Changes the text of the tooltip, if there is one.
  void set_text(HWND host_window, const char* text);
  // Destroys the window, if there is one and its owner's end has not taken
  // it already (see let_go_of_window), and forgets it.
  void hide();

 private:
  HWND window_ = nullptr;
};

}  // namespace dwx
