// One run of the player with the component, from loading the library to
// unloading it, driven as a user drives it: both sliders placed in a window
// of the player's, the toolbar dragged with the mouse messages Windows sends
// a trackbar, the preferences page's device list worked from the keyboard,
// and the commands run from the menu. The soak repeats it; the stress keeps
// one open while host threads report volume changes.
//
// The mixer device is a scripted one in winmm's place: Wine's own mixer
// grows by about 9 KB of committed memory with every mixerOpen, closed or
// not, and refuses its line queries after 256 opens in one process, so a
// run that opens a mixer a thousand times would measure Wine. The
// component's mixer code runs unchanged; the script counts the mixers left
// open.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "standin_host/extension_window.h"
#include "standin_host/host.h"
#include "standin_host/loaded_component.h"
#include "standin_host/menu_items.h"
#include "standin_host/preferences.h"
#include "support/message_boxes.h"
#include "support/scripted_mixer.h"

class PlayerSession {
 public:
  // The sliders go into `container` and the page into `preferences`; both
  // belong to the player and outlive the session.
  PlayerSession(HWND container, standin::PreferencesWindow& preferences);
  ~PlayerSession() { close(); }
  PlayerSession(const PlayerSession&) = delete;
  PlayerSession& operator=(const PlayerSession&) = delete;

  // Loads and starts the component, places both sliders and opens the
  // preferences page; when something is missing, error() says what.
  bool open();
  const std::string& error() const { return error_; }
  // Closes the page, destroys the sliders' windows and releases their
  // objects, stops the player and unloads the library.
  void close();

  // Mouse messages to the toolbar's trackbar, posted and then handled
  // through the message loop. x is in the trackbar's client coordinates.
  void press(int x) { post_mouse(WM_LBUTTONDOWN, MK_LBUTTON, x); }
  void move(int x) { post_mouse(WM_MOUSEMOVE, MK_LBUTTON, x); }
  void release(int x) { post_mouse(WM_LBUTTONUP, 0, x); }
  // The toolbar's channel, where a press or a move lands on the scale.
  int channel_left() const { return channel_.left; }
  int channel_right() const { return channel_.right; }

  // Moves the page's device list to `device` with the arrow keys, as a user
  // does: the list changes its selection and notifies the page itself.
  void choose_device(int device);
  int device_shown() const;

  // The level each slider shows; the panel's trackbar stands upside down.
  int toolbar_level() const;
  int panel_level() const;

  // Another slider object of that type with its window placed at `where`;
  // the caller releases the object.
  standin::ExtensionWindowView slider(unsigned type, RECT where, HWND* window);

  standin::MenuItems& commands() { return *commands_; }
  testing_support::ScriptedMixer& mixer() { return *mixer_; }
  HMODULE module() const { return component.module(); }

  standin::Host host;
  // Before the component: notices shown at unload are recorded, not shown.
  testing_support::MessageBoxRecorder message_boxes;
  standin::LoadedComponent component{host};

 private:
  void post_mouse(UINT message, WPARAM buttons, int x);

  HWND container_;
  standin::PreferencesWindow& preferences_;
  std::string error_;
  standin::ExtensionHostObject layout_;
  standin::ExtensionWindowView toolbar_, panel_;
  HWND toolbar_window_ = nullptr, panel_window_ = nullptr;
  HWND toolbar_trackbar_ = nullptr, panel_trackbar_ = nullptr;
  RECT channel_ = {};
  int y_ = 0;
  void* page_service_ = nullptr;
  std::unique_ptr<standin::MenuItems> commands_;
  std::unique_ptr<testing_support::ScriptedMixer> mixer_;
};

// Handles every message waiting for this thread, without sleeping.
void pump_messages();

// The player's own windows the sessions use, made once for the program: a
// visible top-level window that is destroyed while active costs two seconds
// under Wine on a display without a window manager.
HWND player_container();
standin::PreferencesWindow& player_preferences();

// A count given in the environment (the long runs set them), or `fallback`.
unsigned count_from_environment(const char* name, unsigned fallback);
