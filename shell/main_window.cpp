// The shell's main window.
#include "shell/main_window.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "shell/config_location.h"
#include "shell/screen.h"
#include "shell/text.h"
#include "shell/wav_file.h"
#include "utf8api.h"

namespace shell {

namespace {

constexpr wchar_t main_class[] = L"PlinvoxShellMain";
constexpr char shell_name[] = "Plinvox shell";
constexpr char shell_version[] = "1.1";

constexpr UINT message_console = WM_APP + 1;  // lines are waiting
constexpr UINT message_volume = WM_APP + 2;   // the host's volume changed
constexpr UINT message_ended = WM_APP + 3;    // a sound played to its end; wParam: which playing

constexpr int button_louder = 10, button_quieter = 11;
constexpr int host_volume_floor = -10000;  // the player's own range: -100 dB to full
// Sizes at 96 DPI.
constexpr int window_width = 780, window_height = 480, first_position = 40;
constexpr int min_width = 480, min_height = 260;

HWND make_child(const wchar_t* window_class, const wchar_t* text, DWORD style, HWND parent, int id,
                HFONT font, DWORD ex_style = 0) {
  HWND child = CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                               0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

// The files of a drop, which is let go of here.
std::vector<std::wstring> dropped_files(HDROP drop) {
  std::vector<std::wstring> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    const UINT length = DragQueryFileW(drop, i, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    if (DragQueryFileW(drop, i, &path[0], length + 1) == length) {
      path.resize(length);
      paths.push_back(path);
    }
  }
  DragFinish(drop);
  return paths;
}

}  // namespace

MainWindow::MainWindow(ComponentSession& session) : session_(session), docks_(session) {}

MainWindow::~MainWindow() {
  session_.host().console_listener = nullptr;
  session_.host().volume_listener = nullptr;
  if (window_ != nullptr && IsWindow(window_)) {
    shut_down();
    standin::disown_window(window_);
    DestroyWindow(window_);
  }
  if (font_ != nullptr) DeleteObject(font_);
}

bool MainWindow::create() {
  standin::register_window_class(main_class);
  dpi_ = dpi_of(nullptr);
  const int size = scaled(first_position, dpi_);
  window_ =
      CreateWindowExW(0, main_class, L"Plinvox", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, size, size,
                      scaled(window_width, dpi_), scaled(window_height, dpi_), nullptr, nullptr,
                      GetModuleHandleW(nullptr), static_cast<standin::WindowOwner*>(this));
  if (window_ == nullptr) return false;
  dpi_ = dpi_of(window_);
  make_font();
  // The component gives the focus back to the player's main window: this one.
  session_.host().use_main_window(window_);
  DragAcceptFiles(window_, TRUE);

  const ShellSettings& settings = session_.settings();
  if (!docks_.create(window_, settings, dpi_)) return false;
  readout_ = make_child(L"STATIC", L"", SS_LEFT, window_, 0, font_);
  quieter_ = make_child(L"BUTTON", L"Quieter (-1 dB)", WS_TABSTOP, window_, button_quieter, font_);
  louder_ = make_child(L"BUTTON", L"Louder (+1 dB)", WS_TABSTOP, window_, button_louder, font_);
  console_.create(window_, font_, message_console);
  console_.listen(session_.host());
  playback_ = std::make_unique<Playback>(window_, message_ended);
  playback_->set_volume(session_.host().volume());
  // Whatever changed it, on whatever thread: the next buffer plays at it.
  session_.host().volume_listener = [this](int hdb) {
    playback_->set_volume(hdb);
    PostMessageW(window_, message_volume, 0, 0);
  };

  menus_ = std::make_unique<Menus>(session_);
  SetMenu(window_, menus_->bar());
  docks_.placed = [this](SliderKind kind, Placement where) { menus_->show_placement(kind, where); };
  ready_ = true;
  layout();
  show_readout();
  restore_placement();
  docks_.place_as(settings);
  say(1, "loaded dwx_volume.dll; configuration " + shown_path(session_.config_path()));
  if (!session_.config_problem().empty()) say(2, session_.config_problem());
  return true;
}

void MainWindow::make_font() {
  if (font_ != nullptr) DeleteObject(font_);
  font_ = CreateFontW(-scaled(11, dpi_), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                      L"MS Shell Dlg");
  for (HWND child : {readout_, quieter_, louder_, console_.window()}) {
    if (child != nullptr) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
}

void MainWindow::restore_placement() {
  const ShellSettings& settings = session_.settings();
  WINDOWPLACEMENT placement = {sizeof placement, 0, SW_SHOWNORMAL, {}, {}, {}};
  GetWindowPlacement(window_, &placement);
  placement.showCmd = SW_SHOWNORMAL;
  const RECT& saved = settings.window;
  if (settings.saved && saved.right > saved.left && saved.bottom > saved.top) {
    placement.rcNormalPosition = fit_normal_position(saved);
    if (settings.show == SW_SHOWMAXIMIZED) placement.showCmd = SW_SHOWMAXIMIZED;
  }
  SetWindowPlacement(window_, &placement);
}

bool MainWindow::translate(MSG& message) {
  const bool key = message.message == WM_KEYDOWN;
  if (key && message.wParam == VK_TAB && window_ != nullptr &&
      GetAncestor(message.hwnd, GA_ROOT) == window_) {
    move_focus(GetKeyState(VK_SHIFT) < 0);
    return true;
  }
  // Space presses the button that has the focus, here or in the preferences
  // window; elsewhere it plays and stops.
  const bool button_space = key && message.wParam == VK_SPACE &&
                            ((message.hwnd == quieter_ || message.hwnd == louder_) ||
                             (preferences_ && preferences_->open() &&
                              GetAncestor(message.hwnd, GA_ROOT) == preferences_->frame()));
  if (window_ != nullptr && !button_space &&
      TranslateAcceleratorW(window_, menus_->accelerators(), &message)) {
    return true;
  }
  return preferences_ && preferences_->take_dialog_message(message);
}

std::vector<HWND> MainWindow::tab_stops() {
  std::vector<HWND> stops;
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    const HWND slider = docks_.extension_window(kind);
    if (slider == nullptr || docks_.placement(kind) != Placement::docked) continue;
    // The component's keys are its trackbar's, the window inside its own.
    const HWND trackbar = GetWindow(slider, GW_CHILD);
    stops.push_back(trackbar != nullptr ? trackbar : slider);
  }
  for (HWND control : {quieter_, louder_, console_.window()})
    stops.push_back(control);
  stops.erase(
      std::remove_if(stops.begin(), stops.end(),
                     [](HWND stop) { return !IsWindowVisible(stop) || !IsWindowEnabled(stop); }),
      stops.end());
  return stops;
}

void MainWindow::move_focus(bool backwards) {
  const std::vector<HWND> stops = tab_stops();
  if (stops.empty()) return;
  // During a drag the focus is on a slider's own window, not its trackbar.
  const HWND focus = GetFocus();
  const auto at = std::find_if(stops.begin(), stops.end(), [this, focus](HWND stop) {
    return stop == focus || (focus != window_ && GetParent(stop) == focus);
  });
  const size_t count = stops.size();
  size_t next = backwards ? count - 1 : 0;
  if (at != stops.end()) {
    const size_t here = static_cast<size_t>(at - stops.begin());
    next = backwards ? (here + count - 1) % count : (here + 1) % count;
  }
  SetFocus(stops[next]);
}

void MainWindow::layout() {
  RECT area;
  GetClientRect(window_, &area);
  const RECT rest = docks_.layout(area);
  const int left = rest.left + scaled(10, dpi_), right = rest.right - scaled(10, dpi_);
  const int top = rest.top, button = scaled(115, dpi_), height = scaled(26, dpi_);
  MoveWindow(readout_, left, top + scaled(12, dpi_), right - left - 2 * button - scaled(20, dpi_),
             scaled(20, dpi_), TRUE);
  MoveWindow(quieter_, right - 2 * button - scaled(10, dpi_), top + scaled(8, dpi_), button, height,
             TRUE);
  MoveWindow(louder_, right - button, top + scaled(8, dpi_), button, height, TRUE);
  const int console_top = top + scaled(44, dpi_);
  MoveWindow(console_.window(), left, console_top, right - left,
             rest.bottom - console_top - scaled(10, dpi_), TRUE);
}

void MainWindow::show_readout() {
  const int hdb = session_.host().volume();
  // On the component's scale, where the floor's level 1 reads as silence.
  int level = static_cast<int>(std::pow(10.0, hdb * 0.0005) * 1000.0);
  if (level == 1) level = 0;
  wchar_t volume[96];
  swprintf(volume, 96, L"Playback volume: %s%d.%02d dB (level %d)", hdb < 0 ? L"-" : L"",
           std::abs(hdb) / 100, std::abs(hdb) % 100, level);
  const Sound* sound = playback_->sound();
  const std::wstring text = volume + (sound ? L" \u00B7 playing " + widen(sound->name())
                                            : std::wstring(L" \u00B7 stopped"));
  SetWindowTextW(readout_, text.c_str());
}

bool MainWindow::open_file(const std::wstring& path) {
  std::string error;
  std::shared_ptr<const Sound> sound = open_wav_file(path, &error);
  if (sound == nullptr) {
    const std::string name = narrow(path.substr(path.find_last_of(L"\\/") + 1));
    say(3, "cannot play " + name + ": " + error);
    uMessageBox(window_, ("Cannot play " + name + ".\n\n" + error).c_str(), shell_name,
                MB_OK | MB_ICONWARNING);
    return false;
  }
  chosen_ = std::move(sound);
  play();
  return true;
}

void MainWindow::open_files(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return;
  open_file(paths.front());
  const size_t rest = paths.size() - 1;
  if (rest > 0) {
    say(2, "the shell plays one file at a time: " + std::to_string(rest) +
               (rest == 1 ? " more file was" : " more files were") + " not opened");
  }
}

void MainWindow::choose_file() {
  wchar_t path[MAX_PATH] = {};
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = window_;
  dialog.lpstrFilter = L"WAV files (*.wav)\0*.wav\0All files\0*.*\0";
  dialog.lpstrFile = path;
  dialog.nMaxFile = MAX_PATH;
  dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
  if (GetOpenFileNameW(&dialog)) open_file(path);
}

void MainWindow::play() {
  if (!chosen_) chosen_ = tone();
  std::string error;
  if (!playback_->play(chosen_, &error)) {
    say(3, "the sound device could not be opened: " + error);
    uMessageBox(window_, ("The sound device could not be opened.\n\n" + error).c_str(), shell_name,
                MB_OK | MB_ICONWARNING);
  }
  show_readout();
}

void MainWindow::play_tone() {
  chosen_ = tone();
  play();
}

std::shared_ptr<const Sound> MainWindow::tone() {
  if (!tone_) tone_ = test_tone();
  return tone_;
}

void MainWindow::stop() {
  playback_->stop();
  show_readout();
}

void MainWindow::ended(WPARAM generation) {
  // The end of a playing that another has since replaced is old news.
  if (generation != playback_->generation()) return;
  stop();
  if (!playback_->failure().empty()) {
    say(3, "could not go on playing " + chosen_->name() + ": " + playback_->failure());
  }
}

void MainWindow::open_preferences() {
  if (preferences_ && preferences_->open()) {
    SetForegroundWindow(preferences_->frame());
    return;
  }
  const PreferencesPlace last = preferences_ ? preferences_->place() : PreferencesPlace{};
  preferences_.reset();
  preferences_ = std::make_unique<PreferencesDialog>(window_, session_.pages(), last, dpi_);
}

void MainWindow::close_preferences() {
  // The window goes; where it was stays for the next opening.
  if (preferences_ && preferences_->open()) SendMessageW(preferences_->frame(), WM_CLOSE, 0, 0);
}

void MainWindow::change_host_volume(int step_hdb) {
  const int hdb = std::max(host_volume_floor, std::min(0, session_.host().volume() + step_hdb));
  session_.host().change_volume(hdb);
}

void MainWindow::show_about() {
  const ComponentInfo& info = session_.component_info();
  std::string text;
  if (info.name.empty()) {
    text = "The loaded component does not say what it is.\n";
  } else {
    text = info.name + " " + info.version + " (" + info.file_name + ")\n" + info.about + "\n";
  }
  text += std::string("\n") + shell_name + " " + shell_version +
          ": a stand-in player for trying the component.";
  uMessageBox(window_, text.c_str(), "About", MB_OK | MB_ICONINFORMATION);
}

void MainWindow::run(const MenuAction& action) {
  switch (action.what) {
    case MenuAction::What::open:
      choose_file();
      break;
    case MenuAction::What::play:
      play();
      break;
    case MenuAction::What::stop:
      stop();
      break;
    case MenuAction::What::tone:
      play_tone();
      break;
    case MenuAction::What::play_or_stop:
      if (playback_->playing()) {
        stop();
      } else {
        play();
      }
      break;
    case MenuAction::What::preferences:
      open_preferences();
      break;
    case MenuAction::What::exit:
      PostMessageW(window_, WM_CLOSE, 0, 0);
      break;
    case MenuAction::What::louder:
      change_host_volume(100);
      break;
    case MenuAction::What::quieter:
      change_host_volume(-100);
      break;
    case MenuAction::What::place:
      if (!docks_.place(action.kind, action.placement)) {
        say(3, "the component could not make its window; it stays hidden");
      }
      break;
    case MenuAction::What::command:
      session_.perform(action.command);
      break;
    case MenuAction::What::about:
      show_about();
      break;
    case MenuAction::What::none:
      break;
  }
}

void MainWindow::shut_down() {
  if (!session_.running()) return;
  if (playback_) playback_->stop();
  preferences_.reset();
  ShellSettings& settings = session_.settings();
  WINDOWPLACEMENT placement = {sizeof placement, 0, 0, {}, {}, {}};
  GetWindowPlacement(window_, &placement);
  // A window closed minimised opens as it was before.
  settings.show = IsZoomed(window_) ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  settings.window = placement.rcNormalPosition;
  docks_.keep_in(&settings);
  const bool saved = session_.stop();
  console_.take_lines();
  if (saved) return;
  const std::string where = shown_path(session_.config_path());
  say(3, "could not save the configuration to " + where);
  const std::string text = "The settings of this session could not be saved to\n" + where +
                           "\n\nThe file there is left as it was.";
  uMessageBox(window_, ("The configuration could not be saved. " + text).c_str(), shell_name,
              MB_OK | MB_ICONERROR);
}

LRESULT MainWindow::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (!ready_) return DefWindowProcW(window, message, wparam, lparam);
  switch (message) {
    case WM_SIZE:
      layout();
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {scaled(min_width, dpi_),
                                                               scaled(min_height, dpi_)};
      return 0;
    case message_dpi_changed: {
      dpi_ = HIWORD(wparam);
      make_font();
      docks_.set_dpi(dpi_);
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      layout();
      return 0;
    }
    case WM_DROPFILES:
      open_files(dropped_files(reinterpret_cast<HDROP>(wparam)));
      return 0;
    case message_console:
      console_.take_lines();
      return 0;
    case message_volume:
      show_readout();
      return 0;
    case message_ended:
      ended(wparam);
      return 0;
    case WM_COMMAND:
      if (LOWORD(wparam) == button_louder && lparam != 0) {
        change_host_volume(100);
      } else if (LOWORD(wparam) == button_quieter && lparam != 0) {
        change_host_volume(-100);
      } else {
        run(menus_->action(LOWORD(wparam)));
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Windows ends the process once this returns: the session is saved
      // and the component unloaded now, as at a close.
      if (wparam) shut_down();
      return 0;
    case WM_CLOSE:
      shut_down();
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace shell
