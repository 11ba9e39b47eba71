// The player harness: the real DLL loaded into the stand-in host and driven as a user drives it.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "standin_host/extension_window.h"
#include "standin_host/host.h"
#include "standin_host/loaded_component.h"
#include "standin_host/menu_items.h"
#include "standin_host/preferences.h"
#include "support/message_boxes.h"

namespace player {

// Handles every message waiting for this thread, without sleeping.
void pump();

// Where the sliders go unless a player is given a window of its own: a
// visible top-level window made once for the program, 1240 by 500 pixels.
// Wine takes two seconds to destroy a visible active window on a display
// without a window manager, so none is made per test.
HWND shared_container();

// One slider object with its host window placed, and the trackbar inside.
struct Slider {
  standin::ExtensionWindowView object;
  unsigned type = 0;
  HWND window = nullptr;
  HWND trackbar = nullptr;  // null when the component made none
  // The level it shows: the panel's trackbar stands upside down.
  int level() const;
};

// One run of the player with the component, from loading the library to
// unloading it. The tests, the soak, the fault sweep and the benchmarks all
// drive the component through one of these.
class Player {
 public:
  // Sliders go into `container`, or into shared_container() when null.
  explicit Player(HWND container = nullptr);
  ~Player() { close(); }
  Player(const Player&) = delete;
  Player& operator=(const Player&) = delete;

  // LoadLibrary and the entry call; on failure error() says why.
  bool load(const wchar_t* dll = L"dwx_volume.dll");
  const std::string& error() const { return component.error(); }
  HMODULE module() const { return component.module(); }
  // The player's start with that configuration; close() then stops it.
  void start(const std::vector<uint8_t>& blob = {});
  // Closes the page and lets go of every slider and service the player
  // holds; the component stays loaded.
  void close_windows();
  // close_windows(), the player's stop when it was started, then unload().
  void close();
  // Drops the attached objects, newest first, and unloads the library with
  // whatever it still has: a player that never let go of its windows.
  void unload();

  // An object built on the loaded module (an import patch, a scripted
  // mixer, a recorder of its calls), constructed as T(module(), args...)
  // and kept until the unload, which drops it first: it writes into the
  // module's image.
  template <class T, class... Args>
  T& attach(Args&&... args) {
    auto object = std::make_shared<T>(module(), std::forward<Args>(args)...);
    attached_.push_back(object);
    return *object;
  }

  // A new extension-window object of that type from the component's
  // factories, or an empty view. The player releases it at close_windows()
  // unless `kept` is false.
  standin::ExtensionWindowView new_window_object(unsigned type, bool kept = true);
  // Creates the object's host window (or moves it) into `parent`, the
  // container unless given, held by `holder`, the layout unless given; then
  // sizes and shows it as the layout does.
  HWND place(standin::ExtensionWindowView& object, RECT where, HWND parent = nullptr,
             standin::ExtensionHostObject* holder = nullptr);
  // Both: a new slider of that type placed at `where`; its window is
  // destroyed and its object released at close_windows().
  Slider add_slider(unsigned type, RECT where);

  // The menu commands, created at first use.
  standin::MenuItems& commands();

  // Creates the preferences page in the player's preferences window and
  // shows it; null when the component made none.
  HWND open_page();
  HWND page() const { return page_; }
  // The preferences window's frame, which holds the page, once opened.
  HWND preferences_frame() const { return preferences_ ? preferences_->frame() : nullptr; }
  void close_page();
  // What Windows does when the user picks an entry of one of the page's
  // lists: the list changes its selection and tells the page. False when
  // the list has no such entry.
  bool choose(int list, int index);
  int selection(int list) const;
  // The texts of a list, read back as UTF-16 whatever form the list is.
  std::vector<std::wstring> entries(int list) const;
  // Whether the item itself is shown; the page's own visibility aside.
  bool shown(int item) const;

  // The settings as the component would save them now, by name.
  std::map<std::string, int32_t> stored();
  // The console lines the component printed, as "level|source|text", or
  // "level|text" without the source.
  std::vector<std::string> console(bool with_source = true) const;

  standin::Host host;
  // Before the component: the unload's box is recorded, not shown.
  testing_support::MessageBoxRecorder message_boxes;
  standin::LoadedComponent component{host};
  // The layout host holding the sliders placed without a holder of their own.
  standin::ExtensionHostObject layout;
  HWND container;

 private:
  bool started_ = false;
  std::vector<standin::ExtensionWindowView> kept_;
  std::vector<Slider> sliders_;
  std::vector<std::unique_ptr<standin::MenuItems>> commands_;
  void* page_service_ = nullptr;
  std::unique_ptr<standin::PreferencesWindow> preferences_;
  HWND page_ = nullptr;
  std::vector<std::shared_ptr<void>> attached_;
};

// Reading Wine's trackbars and tooltips back.
// The trackbar inside a slider's host window: its one child, or null.
HWND trackbar_in(HWND host_window);
int trackbar_pos(HWND trackbar);
RECT channel_rect(HWND trackbar);
RECT thumb_rect(HWND trackbar);
// The tracking tooltip whose tool is that window, on this thread, or null.
HWND tooltip_of(HWND host_window);
// The text of the tooltip's tool for that window, read back from the control.
std::string tooltip_text(HWND tooltip, HWND tool_window);

// A hand on a horizontal trackbar. A drag spans the channel less half the
// thumb at each end: the client x where a drag gives `level`, and the y of
// the channel's middle.
int x_for(HWND trackbar, int level);
int channel_y(HWND trackbar);
// The mouse messages Windows sends the trackbar, at client x on the channel.
LRESULT press(HWND trackbar, int x);
LRESULT move(HWND trackbar, int x);
LRESULT release(HWND trackbar, int x);
// Presses half way to the level, moves there in four steps and lets go.
void drag(HWND trackbar, int level);

}  // namespace player
