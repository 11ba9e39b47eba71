// The player's preferences window: the pages by branch and name, and the chosen page beside them.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/component_session.h"
#include "standin_host/window_class.h"

namespace shell {

// Where the window was and which page it showed, for the next opening.
struct PreferencesPlace {
  bool known = false;
  POINT position = {};
  size_t page = 0;
};

class PreferencesDialog : public standin::WindowOwner {
 public:
  PreferencesDialog(HWND owner, std::vector<Page>& pages, const PreferencesPlace& last, int dpi);
  // Destroys the page, then the window: the player owns the page window
  // once the component has handed it over.
  ~PreferencesDialog();
  PreferencesDialog(const PreferencesDialog&) = delete;
  PreferencesDialog& operator=(const PreferencesDialog&) = delete;

  HWND frame() const { return frame_; }
  // The page shown now, or null.
  HWND page() const { return page_; }
  bool open() const { return frame_ != nullptr && IsWindow(frame_); }
  // Where the window is, or was when it closed.
  PreferencesPlace place() const;
  // Creates the page at `index` of the list and shows it in place of the last.
  void show(size_t index);
  // Tab between the list and the page's controls, Escape to close, and the
  // page's own dialog keys; true when it took the message.
  bool take_dialog_message(MSG& message);

 private:
  LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void layout();
  void close();

  std::vector<Page>& pages_;
  int dpi_;
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  HWND close_ = nullptr;
  HWND page_ = nullptr;
  HFONT font_ = nullptr;
  PreferencesPlace place_;
};

}  // namespace shell
