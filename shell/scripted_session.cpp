// The scripted session: the messages Windows would send for a person's hand.
#include "shell/scripted_session.h"

#include <commctrl.h>

#include "shell/screen_reader.h"
#include "standin_host/screenshot.h"

namespace shell {

namespace {

constexpr GUID mute_command = {
    0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}};

// Lets windows paint and posted messages arrive, for about `milliseconds`.
void settle(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

// Where on the trackbar a level lies: where the trackbar itself draws the
// centre of its thumb for that position. A drag there comes back as the level.
struct TrackGeometry {
  HWND trackbar;
  int y;
  explicit TrackGeometry(HWND trackbar) : trackbar(trackbar) {
    const RECT thumb = thumb_at(static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0)));
    y = (thumb.top + thumb.bottom) / 2;
  }
  int x_of(int level) const {
    const LRESULT was = SendMessageW(trackbar, TBM_GETPOS, 0, 0);
    const RECT thumb = thumb_at(level);
    SendMessageW(trackbar, TBM_SETPOS, FALSE, was);
    return (thumb.left + thumb.right) / 2;
  }
  RECT thumb_at(int position) const {
    SendMessageW(trackbar, TBM_SETPOS, FALSE, position);
    RECT thumb = {};
    SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    return thumb;
  }
};

LPARAM point(int x, int y) { return MAKELPARAM(x, y); }

class Session {
 public:
  Session(MainWindow& window, ComponentSession& session) : window_(window), session_(session) {}

  SessionReport run() {
    settle(300);
    // The session shows the player's own volume first, whatever was chosen
    // when the shell last ran.
    choose_device(0, nullptr);
    drag_the_toolbar();
    hear_the_sliders();
    turn_the_wheel();
    mute();
    picture(window_.extension_window(SliderKind::panel), 6, 6, "panel.png");
    pick_a_mixer_device();
    hear_the_sliders();
    return report_;
  }

 private:
  void note(const std::string& text) { report_.notes.push_back(text); }
  void fail(const std::string& text) { report_.failures.push_back(text); }

  // Saves what the screen shows over `window`, widened by the margins.
  void picture(HWND window, int right_margin, int bottom_margin, const char* name) {
    if (window == nullptr) {
      fail(std::string("no window to take ") + name + " of");
      return;
    }
    RECT rect;
    GetWindowRect(window, &rect);
    rect.right += right_margin;
    rect.bottom += bottom_margin;
    const std::string path = standin::screenshot_path(name);
    if (standin::save_png(standin::capture_screen(rect), path)) {
      report_.pictures.push_back(path);
    } else {
      fail("could not save " + path);
    }
  }

  HWND trackbar_of(SliderKind kind) {
    HWND host = window_.extension_window(kind);
    return host ? FindWindowExW(host, nullptr, TRACKBAR_CLASSW, nullptr) : nullptr;
  }
  HWND toolbar_trackbar() { return trackbar_of(SliderKind::toolbar); }

  // What a screen reader says of each slider: both say the same level.
  void hear_the_sliders() {
    const std::string toolbar = spoken_text(trackbar_of(SliderKind::toolbar));
    const std::string panel = spoken_text(trackbar_of(SliderKind::panel));
    note("a screen reader hears the toolbar slider as \"" + toolbar + "\"");
    note("a screen reader hears the panel slider as \"" + panel + "\"");
    if (toolbar != panel) fail("the two sliders are heard differently");
  }

  void drag_the_toolbar() {
    HWND trackbar = toolbar_trackbar();
    if (trackbar == nullptr) return fail("the toolbar has no trackbar");
    const TrackGeometry track(trackbar);
    SendMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, point(track.x_of(700), track.y));
    for (int level = 690; level >= 550; level -= 10) {
      SendMessageW(trackbar, WM_MOUSEMOVE, MK_LBUTTON, point(track.x_of(level), track.y));
      settle(15);
    }
    settle(250);
    // The toolbar and the tooltip under the cursor, mid-drag.
    picture(window_.extension_window(SliderKind::toolbar), 60, 48, "toolbar-drag.png");
    picture(window_.window(), 0, 0, "shell.png");
    SendMessageW(trackbar, WM_LBUTTONUP, 0, point(track.x_of(550), track.y));
    settle(100);
    dragged_to_ = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    note("dragged the toolbar slider to level " + std::to_string(dragged_to_));
    if (session_.host().volume_sets().empty()) fail("the drag did not set the host's volume");
  }

  void turn_the_wheel() {
    HWND trackbar = toolbar_trackbar();
    if (trackbar == nullptr) return;
    const TrackGeometry track(trackbar);
    POINT cursor = {track.x_of(550), track.y};
    ClientToScreen(trackbar, &cursor);
    SendMessageW(trackbar, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), point(cursor.x, cursor.y));
    settle(100);
    const int level = static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
    note("one wheel notch up: level " + std::to_string(level));
    if (level <= dragged_to_) fail("the wheel did not raise the level");
  }

  void mute() {
    for (const Command& command : session_.commands()) {
      if (!IsEqualGUID(command.guid, mute_command)) continue;
      HWND trackbar = toolbar_trackbar();
      const int before = trackbar ? static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0)) : -1;
      // As the menu entry or its key would.
      SendMessageW(window_.window(), WM_COMMAND, window_.command_id(command.index), 0);
      settle(100);
      note("muted at level " + std::to_string(before));
      if (session_.host().volume() != -6000) fail("mute did not silence the host's volume");
      return;
    }
    fail("the component offers no mute command");
  }

  void pick_a_mixer_device() { choose_device(1, "preferences.png"); }

  // Picks entry `index` of the page's device list as a person would, and
  // takes a picture of the page when `picture_name` is given.
  void choose_device(int index, const char* picture_name) {
    window_.open_preferences();
    settle(200);
    PreferencesDialog* preferences = window_.preferences();
    HWND page = preferences ? preferences->page() : nullptr;
    HWND devices = page ? GetDlgItem(page, 1000) : nullptr;
    if (devices == nullptr) return fail("the preferences page did not open");
    if (SendMessageW(devices, CB_GETCOUNT, 0, 0) <= index) {
      // A machine without sound devices: nothing to pick, which is no fault.
      note("this machine offers no mixer device to pick");
    } else if (SendMessageW(devices, CB_GETCURSEL, 0, 0) != index) {
      // As Windows tells a dialog of a new choice in one of its lists.
      SendMessageW(devices, CB_SETCURSEL, index, 0);
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(devices));
      settle(250);
    }
    wchar_t name[128] = {};
    SendMessageW(devices, CB_GETLBTEXT, SendMessageW(devices, CB_GETCURSEL, 0, 0),
                 reinterpret_cast<LPARAM>(name));
    char utf8[384] = {};
    WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
    note(std::string("picked the device \"") + utf8 + "\"");
    if (picture_name != nullptr) picture(preferences->frame(), 0, 0, picture_name);
    window_.close_preferences();
    settle(100);
  }

  MainWindow& window_;
  ComponentSession& session_;
  SessionReport report_;
  int dragged_to_ = -1;
};

}  // namespace

SessionReport run_scripted_session(MainWindow& window, ComponentSession& session) {
  return Session(window, session).run();
}

}  // namespace shell
