// The shell's main window with the real component: where the sliders go, what
// the component is handed, and what a person sees at the end of a session.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shell/screen.h"
#include "shell/text.h"
#include "shell_fixture.h"
#include "wav_bytes.h"

namespace {

using shell::Placement;
using shell::SliderKind;
using shell_testing::checked_placement;
using shell_testing::command_labelled;
using shell_testing::read_file;
using shell_testing::ShellTest;
using testing_support::flush_events;

const char* slider_name(SliderKind kind) {
  return kind == SliderKind::toolbar ? "Volume control" : "Volume control (vertical)";
}

const char* label(Placement where) {
  switch (where) {
    case Placement::docked:
      return "Docked";
    case Placement::floating:
      return "Floating";
    default:
      return "Hidden";
  }
}

TEST_F(ShellTest, EveryPlacementFollowsEveryOtherForBothSliders) {
  const Placement places[] = {Placement::docked, Placement::floating, Placement::hidden};
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    const SliderKind other = kind == SliderKind::toolbar ? SliderKind::panel : SliderKind::toolbar;
    for (Placement from : places) {
      for (Placement to : places) {
        const std::string trace =
            std::string(slider_name(kind)) + ": " + label(from) + " then " + label(to);
        window->place(kind, from);
        window->place(kind, to);
        flush_events();
        EXPECT_EQ(to, window->placement(kind)) << trace;
        EXPECT_EQ(label(to), checked_placement(GetMenu(window->window()), slider_name(kind)))
            << trace;
        const HWND frame = window->dock(kind, Placement::floating).container();
        EXPECT_EQ(to == Placement::floating, IsWindowVisible(frame) != FALSE) << trace;
        const HWND hosted = window->extension_window(kind);
        if (to == Placement::hidden) {
          EXPECT_EQ(nullptr, hosted) << trace;
        } else {
          ASSERT_NE(nullptr, hosted) << trace;
          EXPECT_TRUE(IsWindowVisible(hosted)) << trace;
          const HWND container = window->dock(kind, to).container();
          EXPECT_EQ(container, GetParent(hosted)) << trace;
          // Still laid out by its dock: it follows a new size of the window it is in.
          const HWND outer = to == Placement::floating ? frame : window->window();
          RECT size = {};
          GetWindowRect(outer, &size);
          SetWindowPos(outer, nullptr, 0, 0, size.right - size.left + 7, size.bottom - size.top + 9,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
          RECT area = {}, rect = {};
          GetClientRect(container, &area);
          GetClientRect(hosted, &rect);
          EXPECT_TRUE(window->dock(kind, to).holds(hosted)) << trace;
          EXPECT_EQ(area.bottom - 4, rect.bottom) << trace << ": laid out by its dock";
        }
        EXPECT_EQ(Placement::docked, window->placement(other)) << trace;
        EXPECT_TRUE(IsWindowVisible(window->extension_window(other))) << trace;
      }
    }
    window->place(kind, Placement::docked);
  }
}

TEST_F(ShellTest, ClosingAFloatingFrameHidesItsSlider) {
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    window->place(kind, Placement::floating);
    const HWND frame = window->dock(kind, Placement::floating).container();
    SendMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    flush_events();
    EXPECT_EQ(Placement::hidden, window->placement(kind));
    EXPECT_FALSE(IsWindowVisible(frame));
    EXPECT_EQ("Hidden", checked_placement(GetMenu(window->window()), slider_name(kind)));
    window->place(kind, Placement::docked);
    EXPECT_TRUE(IsWindowVisible(window->extension_window(kind)));
  }
}

TEST_F(ShellTest, TheComponentIsHandedTheShellsOwnMainWindow) {
  EXPECT_EQ(window->window(), session->host().main_window());
  // A slider whose earlier focus is gone gives the focus to the player's
  // main window: the shell stays the active window.
  SetForegroundWindow(window->window());
  const HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20,
                                    window->window(), nullptr, nullptr, nullptr);
  SetFocus(edit);
  SetFocus(window->extension_window(SliderKind::panel));
  DestroyWindow(edit);
  SendMessageW(window->extension_window(SliderKind::panel), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
  EXPECT_EQ(window->window(), GetActiveWindow());
  EXPECT_EQ(window->window(), GetFocus());
}

TEST_F(ShellTest, AFailedSaveIsShownInAMessageBoxAndTheOldFileStays) {
  const std::vector<uint8_t> old_file = {'k', 'e', 'e', 'p'};
  shell_testing::write_file(config, old_file);
  // The new file cannot be made where a folder of its name stands.
  const std::wstring in_the_way = config + L".new";
  CreateDirectoryW(in_the_way.c_str(), nullptr);
  close();
  RemoveDirectoryW(in_the_way.c_str());
  bool shown = false;
  for (const auto& box : boxes.calls) {
    shown = shown || box.text.find("could not be saved") != std::string::npos;
  }
  EXPECT_TRUE(shown) << boxes.calls.size() << " message boxes";
  EXPECT_EQ(old_file, read_file(config));
}

TEST_F(ShellTest, EndingTheWindowsSessionSavesAndUnloads) {
  EXPECT_NE(0, SendMessageW(window->window(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
  EXPECT_TRUE(session->running()) << "asked, not yet ended";
  SendMessageW(window->window(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_FALSE(session->running());
  EXPECT_FALSE(read_file(config).empty());
}

TEST_F(ShellTest, AboutNamesTheComponentAndTheShell) {
  const UINT about = command_labelled(GetMenu(window->window()), "About...");
  ASSERT_NE(0u, about);
  boxes.calls.clear();
  SendMessageW(window->window(), WM_COMMAND, about, 0);
  ASSERT_EQ(1u, boxes.calls.size());
  const std::string& text = boxes.calls[0].text;
  for (const char* part : {"Volume control toolbar", "1.4", "system mixer volume level",
                           "dwx_volume", "Plinvox shell"}) {
    EXPECT_NE(std::string::npos, text.find(part)) << part << " in\n" << text;
  }
}

// A drop as Explorer makes one: DROPFILES, then each path ended by a 0, then a 0.
HDROP drop_of(const std::vector<std::wstring>& paths) {
  size_t characters = 1;
  for (const std::wstring& path : paths)
    characters += path.size() + 1;
  HGLOBAL memory =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + characters * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  auto* list = reinterpret_cast<wchar_t*>(drop + 1);
  for (const std::wstring& path : paths) {
    std::copy(path.begin(), path.end(), list);
    list += path.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

TEST_F(ShellTest, AFileDroppedOnTheWindowPlays) {
  const HWND main = window->window();
  EXPECT_TRUE(GetWindowLongW(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) << "takes files dropped on it";
  const std::wstring dropped = shell_testing::temporary_path(L"dropped.wav");
  shell_testing::write_file(
      dropped,
      shell_testing::WavBytes().format(1, 1, 8000, 16, 2).data(std::vector<int16_t>(8000)).bytes);
  SendMessageW(main, WM_DROPFILES, reinterpret_cast<WPARAM>(drop_of({dropped, L"C:\\another.wav"})),
               0);
  flush_events();
  wchar_t readout[256] = {};
  GetWindowTextW(FindWindowExW(main, nullptr, L"STATIC", nullptr), readout, 256);
  EXPECT_TRUE(window->playback().playing());
  EXPECT_NE(std::string::npos, shell::narrow(readout).find("playing dropped.wav"))
      << shell::narrow(readout);
  const HWND console = FindWindowExW(main, nullptr, L"ListBox", nullptr);
  wchar_t last[256] = {};
  SendMessageW(console, LB_GETTEXT, SendMessageW(console, LB_GETCOUNT, 0, 0) - 1,
               reinterpret_cast<LPARAM>(last));
  EXPECT_NE(std::string::npos, shell::narrow(last).find("1 more file was not opened"))
      << shell::narrow(last);
  window->stop();
  DeleteFileW(dropped.c_str());
}

TEST_F(ShellTest, TabMovesBetweenTheControlsAndSpacePressesAButton) {
  const HWND main = window->window();
  const HWND toolbar = GetWindow(window->extension_window(SliderKind::toolbar), GW_CHILD);
  const HWND panel = GetWindow(window->extension_window(SliderKind::panel), GW_CHILD);
  const HWND quieter = FindWindowExW(main, nullptr, L"BUTTON", L"Quieter (-1 dB)");
  const HWND louder = FindWindowExW(main, nullptr, L"BUTTON", L"Louder (+1 dB)");
  const HWND console = FindWindowExW(main, nullptr, L"ListBox", nullptr);
  auto press = [&](UINT message, WPARAM key, bool shift) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    const LPARAM state = static_cast<LPARAM>(message == WM_KEYUP ? 0xC0000001u : 1u);
    MSG event = {GetFocus(), message, key, state, 0, {}};
    if (!window->translate(event)) DispatchMessageW(&event);
    flush_events();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  };
  const struct {
    const char* keys;
    bool shift;
    Placement panel_at;
    std::vector<HWND> order;  // from the main window itself
  } cases[] = {
      {"Tab", false, Placement::docked, {toolbar, panel, quieter, louder, console, toolbar}},
      {"Shift+Tab", true, Placement::docked, {console, louder, quieter, panel, toolbar, console}},
      {"Tab, the panel floating",
       false,
       Placement::floating,
       {toolbar, quieter, louder, console, toolbar}},
  };
  for (const auto& c : cases) {
    window->place(SliderKind::panel, c.panel_at);
    SetForegroundWindow(main);
    SetFocus(main);
    for (size_t i = 0; i < c.order.size(); ++i) {
      press(WM_KEYDOWN, VK_TAB, c.shift);
      EXPECT_EQ(c.order[i], GetFocus()) << c.keys << ", press " << i + 1;
    }
  }

  SetFocus(quieter);
  press(WM_KEYDOWN, VK_SPACE, false);
  press(WM_KEYUP, VK_SPACE, false);
  EXPECT_EQ(-100, session->host().volume()) << "pressed";
  EXPECT_FALSE(window->playback().playing()) << "and nothing played";
}

// A floating frame moved to a monitor of another DPI takes the size Windows
// suggests, and lays its slider out at that DPI, as the main window does.
TEST_F(ShellTest, FloatingFramesFollowTheirMonitorsDpi) {
  for (SliderKind kind : {SliderKind::toolbar, SliderKind::panel}) {
    window->place(kind, Placement::floating);
    const HWND frame = window->dock(kind, Placement::floating).container();
    RECT suggested = {};
    GetWindowRect(frame, &suggested);
    OffsetRect(&suggested, 30, 20);
    suggested.right += suggested.right - suggested.left;
    suggested.bottom += (suggested.bottom - suggested.top) / 2;
    SendMessageW(frame, shell::message_dpi_changed, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    flush_events();
    RECT now = {}, area = {}, slider = {};
    GetWindowRect(frame, &now);
    EXPECT_TRUE(EqualRect(&suggested, &now)) << slider_name(kind);
    GetClientRect(frame, &area);
    GetWindowRect(window->extension_window(kind), &slider);
    if (kind == SliderKind::toolbar) {
      EXPECT_EQ(shell::scaled(220, 144), slider.right - slider.left) << "its length at 144 DPI";
    } else {
      EXPECT_EQ(area.bottom - 4, slider.bottom - slider.top) << "the frame's height";
    }
  }
}

TEST_F(ShellTest, ThePreferencesTakeTabAndEscapeAndReopenWhereTheyWere) {
  window->open_preferences();
  flush_events();
  ASSERT_NE(nullptr, window->preferences());
  const HWND frame = window->preferences()->frame();
  const HWND list = FindWindowExW(frame, nullptr, L"ListBox", nullptr);
  ASSERT_NE(nullptr, list);
  SetFocus(list);
  auto press = [&](WPARAM key) {
    MSG message = {GetFocus(), WM_KEYDOWN, key, 0x00010001, 0, {}};
    const bool taken = window->translate(message);
    flush_events();
    return taken;
  };
  EXPECT_TRUE(press(VK_TAB));
  EXPECT_TRUE(IsChild(window->preferences()->page(), GetFocus())) << "Tab goes on into the page";
  bool back = false;
  for (int i = 0; i < 10 && !back; ++i) {
    press(VK_TAB);
    back = GetFocus() == list;
  }
  EXPECT_TRUE(back) << "and comes round to the list";

  SetWindowPos(frame, nullptr, 333, 222, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(press(VK_ESCAPE));
  EXPECT_FALSE(window->preferences() != nullptr && window->preferences()->open());

  SendMessageW(window->window(), WM_COMMAND,
               command_labelled(GetMenu(window->window()), "Preferences..."), 0);
  flush_events();
  ASSERT_NE(nullptr, window->preferences());
  RECT rect = {};
  GetWindowRect(window->preferences()->frame(), &rect);
  EXPECT_EQ(333, rect.left);
  EXPECT_EQ(222, rect.top);
}

}  // namespace
