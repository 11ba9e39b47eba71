// The host's side of the preferences-page service: each operation called by its slot number.
#pragma once

#include <windows.h>

#include <string>

#include "standin_host/abi.h"

namespace standin {

namespace preferences_page {
constexpr unsigned create_page = 3, get_page_name = 4, get_parent_name = 5;
}

// A preferences page as the player's preferences window uses it: it asks for
// the page's names, creates the page inside its own window, places it, shows
// it and later destroys it.
class PreferencesPage {
 public:
  explicit PreferencesPage(void* service) : service_(service) {}

  HWND create(HWND parent) {
    return call_slot<HWND>(service_, preferences_page::create_page, parent);
  }
  std::string page_name() { return text_of(preferences_page::get_page_name); }
  std::string parent_name() { return text_of(preferences_page::get_parent_name); }

 private:
  std::string text_of(unsigned slot) {
    const char* text = call_slot<const char*>(service_, slot);
    return text != nullptr ? text : "(null)";
  }

  void* service_;
};

// The player's preferences window: a visible frame in which a page is
// created, placed at the top left and shown, as the host does with the page
// window it receives. Destroying the frame destroys the page.
class PreferencesWindow {
 public:
  PreferencesWindow();
  ~PreferencesWindow();
  PreferencesWindow(const PreferencesWindow&) = delete;
  PreferencesWindow& operator=(const PreferencesWindow&) = delete;

  HWND frame() const { return frame_; }
  // Creates the page, and shows it when there is one.
  HWND open(PreferencesPage& page);
  HWND page() const { return page_; }
  void close();

 private:
  HWND frame_ = nullptr;
  HWND page_ = nullptr;
};

}  // namespace standin
