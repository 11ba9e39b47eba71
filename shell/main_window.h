// The shell's main window: it puts the menus, the docks, the playback and its
// volume and the console together, and ends the session.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/console_pane.h"
#include "shell/dock_set.h"
#include "shell/menus.h"
#include "shell/component_session.h"
#include "shell/playback.h"
#include "shell/preferences_dialog.h"
#include "shell/sound.h"
#include "standin_host/window_class.h"

namespace shell {

class MainWindow : public standin::WindowOwner {
 public:
  explicit MainWindow(ComponentSession& session);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Creates the window with its menus and docks where the last session left
  // them, and makes it the player's main window.
  bool create();
  HWND window() const { return window_; }
  // Accelerators, Tab between the controls and the preferences window's
  // dialog keys; true when taken.
  bool translate(MSG& message);

  // A line on the console from the shell itself.
  void say(int level, const std::string& text) { console_.say(level, text); }
  // Console lines also go to standard output (for scripted runs).
  void echo_console(bool on) { console_.echo = on; }

  void place(SliderKind kind, Placement where) { docks_.place(kind, where); }
  Placement placement(SliderKind kind) const { return docks_.placement(kind); }
  // The component's window of that kind, or null while hidden.
  HWND extension_window(SliderKind kind) { return docks_.extension_window(kind); }
  Dock& dock(SliderKind kind, Placement where) { return docks_.dock(kind, where); }

  // Opens the preferences window where it was last, or brings it forward.
  void open_preferences();
  PreferencesDialog* preferences() { return preferences_.get(); }
  void close_preferences();
  // The menu command that runs the component's command `index`.
  UINT command_id(unsigned index) const { return menus_ ? menus_->command_id(index) : 0; }
  // The player's own volume buttons.
  void change_host_volume(int step_hdb);

  // Reads the header of the WAV file at `path` and plays it, its sound read
  // as it plays; a file that cannot be played is shown in a message box, and
  // what played before goes on.
  bool open_file(const std::wstring& path);
  // Files given to the shell at once (named at its start, dropped on the
  // window): the first is opened, and the console says the rest were not.
  void open_files(const std::vector<std::wstring>& paths);
  // Plays the sound chosen last: a file, or the test tone.
  void play();
  // Chooses the test tone and plays it.
  void play_tone();
  void stop();
  Playback& playback() { return *playback_; }

 private:
  LRESULT handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  void run(const MenuAction& action);
  void make_font();
  void layout();
  void show_readout();
  void choose_file();
  void show_about();
  void restore_placement();
  // The controls Tab moves between, in its order: each slider docked here,
  // the two buttons and the console.
  std::vector<HWND> tab_stops();
  void move_focus(bool backwards);
  std::shared_ptr<const Sound> tone();
  // The playback thread's word that playing `generation` ended.
  void ended(WPARAM generation);
  // Saves, stops the component and unloads it; once.
  void shut_down();

  ComponentSession& session_;
  HWND window_ = nullptr;
  bool ready_ = false;
  int dpi_ = 96;
  HFONT font_ = nullptr;
  HWND readout_ = nullptr, louder_ = nullptr, quieter_ = nullptr;
  std::unique_ptr<Menus> menus_;
  std::unique_ptr<Playback> playback_;
  std::shared_ptr<const Sound> chosen_;  // what Play plays
  std::shared_ptr<const Sound> tone_;    // made once, when first chosen
  DockSet docks_;
  ConsolePane console_;
  std::unique_ptr<PreferencesDialog> preferences_;
};

}  // namespace shell
