// The shell's main window.
#include "shell/main_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "shell/text.h"

namespace shell {

namespace {

constexpr wchar_t main_class[] = L"PlinvoxShellMain";
constexpr wchar_t dock_class[] = L"PlinvoxDockArea";
constexpr wchar_t floating_class[] = L"PlinvoxFloatingDock";

constexpr UINT message_console = WM_APP + 1;       // lines are waiting
constexpr UINT message_volume = WM_APP + 2;        // wParam: the host's new volume
constexpr UINT message_float_closed = WM_APP + 3;  // wParam: the floating frame

constexpr int strip_height = 30, side_width = 56, toolbar_length = 220;
constexpr int button_louder = 300, button_quieter = 301;
constexpr int host_volume_floor = -10000;  // the player's own range: -100 dB to full

// The player's default key bindings for the component's commands, by command GUID.
struct Binding {
  GUID command;
  BYTE modifiers;
  WORD key;
  const char* label;
};
const Binding bindings[] = {
    {{0x09AAFA8B, 0x01D0, 0x40FC, {0xA5, 0x96, 0xCB, 0xF0, 0xED, 0xA4, 0x60, 0x3F}},
     FCONTROL,
     VK_UP,
     "Ctrl+Up"},
    {{0xEAA316FE, 0x0841, 0x40DA, {0xBD, 0x04, 0xF4, 0x97, 0x54, 0xA2, 0x48, 0x1A}},
     FCONTROL,
     VK_DOWN,
     "Ctrl+Down"},
    {{0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}},
     FCONTROL,
     'M',
     "Ctrl+M"},
};

const char* level_name(int level) {
  switch (level) {
    case 1:
      return "info";
    case 2:
      return "warning";
    case 3:
      return "error";
    default:
      return "?";
  }
}

LRESULT CALLBACK dock_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* dock = reinterpret_cast<Dock*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_SIZE && dock != nullptr) dock->layout();
  if (message == WM_CLOSE) {
    // A floating frame: its owner decides where the window goes.
    SendMessageW(GetWindow(window, GW_OWNER), message_float_closed,
                 reinterpret_cast<WPARAM>(window), 0);
    return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void register_class(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = name;
  RegisterClassW(&window_class);
}

HWND make_child(const wchar_t* window_class, const wchar_t* text, DWORD style, HWND parent, int id,
                HFONT font, DWORD ex_style = 0) {
  HWND child = CreateWindowExW(ex_style, window_class, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0,
                               0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

}  // namespace

MainWindow::MainWindow(Player& player) : player_(player) {}

MainWindow::~MainWindow() {
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
}

bool MainWindow::create() {
  register_class(main_class, procedure);
  register_class(dock_class, dock_procedure);
  register_class(floating_class, dock_procedure);
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  window_ = CreateWindowExW(0, main_class, L"Plinvox", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40,
                            40, 780, 480, nullptr, nullptr, GetModuleHandleW(nullptr), this);
  if (window_ == nullptr) return false;

  HWND strip_area = make_child(dock_class, L"", WS_CLIPCHILDREN, window_, 0, font_);
  HWND side_area = make_child(dock_class, L"", WS_CLIPCHILDREN, window_, 0, font_);
  strip_ = std::make_unique<Dock>(strip_area, Dock::Direction::across, toolbar_length);
  side_ = std::make_unique<Dock>(side_area, Dock::Direction::down, 0);
  SetWindowLongPtrW(strip_area, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(strip_.get()));
  SetWindowLongPtrW(side_area, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(side_.get()));
  for (Kind kind : {Kind::toolbar, Kind::panel}) {
    const bool toolbar = kind == Kind::toolbar;
    HWND frame =
        CreateWindowExW(WS_EX_TOOLWINDOW, floating_class,
                        toolbar ? L"Volume control" : L"Volume control (vertical)",
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, 860,
                        toolbar ? 60 : 160, toolbar ? 260 : 90, toolbar ? 70 : 280, window_,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    floating_[static_cast<int>(kind)] = std::make_unique<Dock>(
        frame, toolbar ? Dock::Direction::across : Dock::Direction::down, toolbar_length);
    SetWindowLongPtrW(frame, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(floating_[static_cast<int>(kind)].get()));
  }

  readout_ = make_child(L"STATIC", L"", SS_LEFT, window_, 0, font_);
  make_child(L"BUTTON", L"Quieter (-1 dB)", WS_TABSTOP, window_, button_quieter, font_);
  make_child(L"BUTTON", L"Louder (+1 dB)", WS_TABSTOP, window_, button_louder, font_);
  console_ = make_child(L"LISTBOX", L"", WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, window_, 0,
                        font_, WS_EX_CLIENTEDGE);

  player_.host().console_listener = [this](const standin::ConsoleLine& line) {
    {
      std::lock_guard<std::mutex> lock(pending_mutex_);
      pending_lines_.push_back(std::string(level_name(line.level)) + "  " +
                               (line.source.empty() ? "(no source)" : line.source) + "  " +
                               line.text);
    }
    PostMessageW(window_, message_console, 0, 0);
  };
  player_.host().volume_listener = [this](int hdb) {
    PostMessageW(window_, message_volume, static_cast<WPARAM>(hdb), 0);
  };

  build_menus();
  build_accelerators();
  layout();
  show_volume(player_.host().volume());
  ShowWindow(window_, SW_SHOW);
  place(Kind::toolbar, Placement::docked);
  place(Kind::panel, Placement::docked);
  return true;
}

void MainWindow::build_menus() {
  menu_ = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, id_preferences, L"&Preferences...\tCtrl+P");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_STRING, id_exit, L"E&xit");
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");

  HMENU playback = CreatePopupMenu();
  AppendMenuW(playback, MF_STRING, id_louder, L"&Louder\tCtrl+Shift+Up");
  AppendMenuW(playback, MF_STRING, id_quieter, L"&Quieter\tCtrl+Shift+Down");
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(playback), L"&Playback");

  // The component's commands, under the branch their names give.
  HMENU components = CreatePopupMenu();
  std::string branch = "Components";
  for (const Command& command : player_.commands()) {
    branch = command.name.substr(0, command.name.find('/'));
    std::string label = command.display;
    for (const Binding& binding : bindings) {
      if (IsEqualGUID(binding.command, command.guid)) label += std::string("\t") + binding.label;
    }
    AppendMenuW(components, MF_STRING, id_command + command.index, widen(label).c_str());
  }
  AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(components), widen(branch).c_str());

  // Each extension window under its category, with where it can be.
  for (Kind kind : {Kind::toolbar, Kind::panel}) {
    standin::ExtensionWindow& object = kind == Kind::toolbar ? player_.toolbar() : player_.panel();
    if (!object) continue;
    standin::HostStringObject name, category;
    object.name(name);
    object.category(category);
    const int base = kind == Kind::toolbar ? id_place_toolbar : id_place_panel;
    HMENU places = CreatePopupMenu();
    AppendMenuW(places, MF_STRING, base + static_cast<int>(Placement::docked), L"&Docked");
    AppendMenuW(places, MF_STRING, base + static_cast<int>(Placement::floating), L"&Floating");
    AppendMenuW(places, MF_STRING, base + static_cast<int>(Placement::hidden), L"&Hidden");
    HMENU group = CreatePopupMenu();
    AppendMenuW(group, MF_POPUP, reinterpret_cast<UINT_PTR>(places), widen(name.text).c_str());
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(group), widen(category.text).c_str());
  }
  SetMenu(window_, menu_);
}

void MainWindow::build_accelerators() {
  std::vector<ACCEL> table = {
      {FCONTROL | FVIRTKEY, 'P', id_preferences},
      {FCONTROL | FSHIFT | FVIRTKEY, VK_UP, id_louder},
      {FCONTROL | FSHIFT | FVIRTKEY, VK_DOWN, id_quieter},
  };
  for (const Command& command : player_.commands()) {
    for (const Binding& binding : bindings) {
      if (IsEqualGUID(binding.command, command.guid)) {
        table.push_back({static_cast<BYTE>(binding.modifiers | FVIRTKEY), binding.key,
                         static_cast<WORD>(id_command + command.index)});
      }
    }
  }
  accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
}

bool MainWindow::translate(MSG& message) {
  if (preferences_ && preferences_->take_dialog_message(message)) return true;
  return window_ != nullptr && TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

void MainWindow::layout() {
  RECT area;
  GetClientRect(window_, &area);
  MoveWindow(strip_->container(), 0, 0, area.right, strip_height, TRUE);
  MoveWindow(side_->container(), area.right - side_width, strip_height, side_width,
             area.bottom - strip_height, TRUE);
  const int left = 10, width = area.right - side_width - 2 * left;
  MoveWindow(readout_, left, strip_height + 12, width - 250, 20, TRUE);
  MoveWindow(GetDlgItem(window_, button_quieter), left + width - 240, strip_height + 8, 115, 26,
             TRUE);
  MoveWindow(GetDlgItem(window_, button_louder), left + width - 115, strip_height + 8, 115, 26,
             TRUE);
  MoveWindow(console_, left, strip_height + 44, width, area.bottom - strip_height - 54, TRUE);
}

void MainWindow::show_volume(int hdb) {
  // On the component's scale, where the floor's level 1 reads as silence.
  int level = static_cast<int>(std::pow(10.0, hdb * 0.0005) * 1000.0);
  if (level == 1) level = 0;
  wchar_t text[96];
  swprintf(text, 96, L"Playback volume: %s%d.%02d dB (level %d)", hdb < 0 ? L"-" : L"",
           std::abs(hdb) / 100, std::abs(hdb) % 100, level);
  SetWindowTextW(readout_, text);
}

void MainWindow::say(int level, const std::string& text) {
  append_console_line(std::string(level_name(level)) + "  shell  " + text);
}

void MainWindow::append_console_line(const std::string& line) {
  if (echo_console) printf("console: %s\n", line.c_str());
  const LRESULT index =
      SendMessageW(console_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(line).c_str()));
  SendMessageW(console_, LB_SETTOPINDEX, index, 0);
}

void MainWindow::take_console_lines() {
  std::deque<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    lines.swap(pending_lines_);
  }
  for (const std::string& line : lines)
    append_console_line(line);
}

Dock& MainWindow::dock(Kind kind, Placement where) {
  if (where == Placement::floating) return *floating_[static_cast<int>(kind)];
  return kind == Kind::toolbar ? *strip_ : *side_;
}

Placement MainWindow::placement(Kind kind) const { return placement_[static_cast<int>(kind)]; }

HWND MainWindow::extension_window(Kind kind) {
  standin::ExtensionWindow& object = kind == Kind::toolbar ? player_.toolbar() : player_.panel();
  return object ? object.window() : nullptr;
}

void MainWindow::place(Kind kind, Placement where) {
  standin::ExtensionWindow& object = kind == Kind::toolbar ? player_.toolbar() : player_.panel();
  if (!object) return;
  if (where == Placement::hidden) {
    object.destroy();
  } else if (dock(kind, where).attach(object) == nullptr) {
    say(3, "the component could not make its window; it stays hidden");
    where = Placement::hidden;
  }
  placement_[static_cast<int>(kind)] = where;
  for (Dock* each : {strip_.get(), side_.get(), floating_[0].get(), floating_[1].get()}) {
    each->sync();
  }
  for (Kind each : {Kind::toolbar, Kind::panel}) {
    HWND frame = floating_[static_cast<int>(each)]->container();
    ShowWindow(frame, floating_[static_cast<int>(each)]->empty() ? SW_HIDE : SW_SHOWNA);
  }
  update_placement_menu();
}

void MainWindow::update_placement_menu() {
  for (Kind kind : {Kind::toolbar, Kind::panel}) {
    const int base = kind == Kind::toolbar ? id_place_toolbar : id_place_panel;
    CheckMenuRadioItem(menu_, base, base + 2, base + static_cast<int>(placement(kind)),
                       MF_BYCOMMAND);
  }
}

void MainWindow::open_preferences() {
  if (preferences_ && preferences_->open()) {
    SetForegroundWindow(preferences_->frame());
    return;
  }
  preferences_ = std::make_unique<PreferencesDialog>(window_, player_.pages());
}

void MainWindow::perform(unsigned index) { player_.perform(index); }

void MainWindow::change_host_volume(int step_hdb) {
  const int hdb = std::max(host_volume_floor, std::min(0, player_.host().volume() + step_hdb));
  player_.host().change_volume(hdb);
}

void MainWindow::shut_down() {
  preferences_.reset();
  const bool saved = player_.stop();
  take_console_lines();
  if (!saved) say(3, "could not save the configuration to " + narrow(player_.config_path()));
}

LRESULT CALLBACK MainWindow::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ == nullptr) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return self->handle(message, wparam, lparam);
}

LRESULT MainWindow::handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      layout();
      return 0;
    case WM_GETMINMAXINFO:
      reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = {480, 260};
      return 0;
    case message_console:
      take_console_lines();
      return 0;
    case message_volume:
      show_volume(static_cast<int>(wparam));
      return 0;
    case message_float_closed:
      for (Kind kind : {Kind::toolbar, Kind::panel}) {
        if (floating_[static_cast<int>(kind)]->container() == reinterpret_cast<HWND>(wparam)) {
          place(kind, Placement::hidden);
        }
      }
      return 0;
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id == id_preferences) {
        open_preferences();
      } else if (id == id_exit) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
      } else if (id == id_louder || id == button_louder) {
        change_host_volume(100);
      } else if (id == id_quieter || id == button_quieter) {
        change_host_volume(-100);
      } else if (id >= id_place_toolbar && id <= id_place_toolbar + 2) {
        place(Kind::toolbar, static_cast<Placement>(id - id_place_toolbar));
      } else if (id >= id_place_panel && id <= id_place_panel + 2) {
        place(Kind::panel, static_cast<Placement>(id - id_place_panel));
      } else if (id >= id_command && id < id_command + 100) {
        perform(static_cast<unsigned>(id - id_command));
      } else {
        break;
      }
      return 0;
    }
    case WM_CLOSE:
      shut_down();
      DestroyWindow(window_);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace shell
