// The shell's main window: menus, the toolbar strip, the side panel, the
// playback volume and the console.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <mutex>
#include <string>

#include "shell/dock.h"
#include "shell/player.h"
#include "shell/preferences_dialog.h"

namespace shell {

enum class Placement { docked, floating, hidden };
enum class Kind { toolbar, panel };

class MainWindow {
 public:
  explicit MainWindow(Player& player);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window with its menus and docks, and docks the component's
  // toolbar and panel.
  bool create();
  HWND window() const { return window_; }
  // Accelerators and the preferences page's dialog keys; true when taken.
  bool translate(MSG& message);

  // A line on the console from the shell itself.
  void say(int level, const std::string& text);
  // Console lines also go to standard output (for scripted runs).
  bool echo_console = false;

  void place(Kind kind, Placement where);
  Placement placement(Kind kind) const;
  // The component's host window of that kind, or null while hidden.
  HWND extension_window(Kind kind);
  Dock& dock(Kind kind, Placement where);

  void open_preferences();
  PreferencesDialog* preferences() { return preferences_.get(); }
  void close_preferences() { preferences_.reset(); }
  // Runs a component command as its menu entry would.
  void perform(unsigned index);
  // The player's own volume buttons.
  void change_host_volume(int step_hdb);

  // Menu command identifiers.
  static constexpr int id_preferences = 100, id_exit = 101, id_louder = 110, id_quieter = 111,
                       id_place_toolbar = 120, id_place_panel = 130, id_command = 200;

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT handle(UINT message, WPARAM wparam, LPARAM lparam);
  void build_menus();
  void build_accelerators();
  void layout();
  void show_volume(int hdb);
  void append_console_line(const std::string& line);
  void take_console_lines();
  void update_placement_menu();
  void shut_down();

  Player& player_;
  HWND window_ = nullptr;
  HWND readout_ = nullptr;
  HWND console_ = nullptr;
  HMENU menu_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HFONT font_ = nullptr;
  std::unique_ptr<Dock> strip_;
  std::unique_ptr<Dock> side_;
  std::unique_ptr<Dock> floating_[2];
  Placement placement_[2] = {Placement::hidden, Placement::hidden};
  std::unique_ptr<PreferencesDialog> preferences_;

  // Console lines may come from any thread; they wait here for this one.
  std::mutex pending_mutex_;
  std::deque<std::string> pending_lines_;
};

}  // namespace shell
