// The player's preferences window: the pages by branch and name, and the chosen page beside them.
#pragma once

#include <windows.h>

#include <vector>

#include "shell/player.h"

namespace shell {

class PreferencesDialog {
 public:
  PreferencesDialog(HWND owner, std::vector<Page>& pages);
  // Destroys the page, then the window: the player owns the page window
  // once the component has handed it over.
  ~PreferencesDialog();
  PreferencesDialog(const PreferencesDialog&) = delete;
  PreferencesDialog& operator=(const PreferencesDialog&) = delete;

  HWND frame() const { return frame_; }
  // The page shown now, or null.
  HWND page() const { return page_; }
  bool open() const { return frame_ != nullptr && IsWindow(frame_); }
  // Creates the page at `index` of the list and shows it in place of the last.
  void show(size_t index);
  // Lets a page's dialog keys (Tab, arrows) work; true when it took the message.
  bool take_dialog_message(MSG& message);

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void layout();

  std::vector<Page>& pages_;
  HWND frame_ = nullptr;
  HWND list_ = nullptr;
  HWND close_ = nullptr;
  HWND page_ = nullptr;
};

}  // namespace shell
