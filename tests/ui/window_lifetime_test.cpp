// Windows that outlive what the component expected: the library unloaded
// under them, on this thread or another, or their container destroyed by the
// host. Nothing the component leaves may still run its code.
#include <windows.h>

#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

#include "standin_host/abi.h"
#include "standin_host/preferences.h"
#include "support/blob.h"
#include "ui/slider_fixture.h"

namespace {

namespace ew = standin::extension_window;

constexpr wchar_t mixer_window_class[] = L"8DEB9B7A-B049-4599-AE4B-258E9D58D5F3";

// Both sliders placed, the toolbar mid-drag with the focus borrowed from an
// edit box of the host's, the preferences page open, and Wine's first mixer
// selected: a window of every kind the component makes, and a procedure of
// every kind it hands the system. The host never releases the objects.
class UnloadTest : public SliderTest {
 protected:
  std::vector<uint8_t> configuration() override {
    return testing_support::BlobBuilder().record("mixer_id", 1);
  }
  void TearDown() override {
    SliderTest::TearDown();
    if (IsWindow(focus_holder)) DestroyWindow(focus_holder);
  }

  // The slider host windows, their trackbars, the drag's tooltip, the page
  // and the mixer's callback window.
  std::vector<HWND> place_everything() {
    focus_holder = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 300, 200,
                                   24, container, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetFocus(focus_holder);
    std::vector<HWND> windows;
    int top = 10;
    for (unsigned type : {ew::type_toolbar, ew::type_panel}) {
      standin::ExtensionWindowView object = new_window_object(type, false);
      HWND window = place(object, RECT{10, top, 300, top + 100});
      windows.push_back(window);
      windows.push_back(trackbar_in(window));
      top += 120;
    }
    SendMessageW(windows[1], WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 10));
    windows.push_back(tooltip_of(windows[0]));
    standin::PreferencesPage page(component.create_service(standin::guids::preferences_page));
    windows.push_back(preferences.open(page));
    windows.push_back(FindWindowExW(nullptr, nullptr, mixer_window_class, nullptr));
    return windows;
  }

  void unload() {
    calls = nullptr;
    player.unload();
  }

  // Each former window is sent a message, a command in the page's terms
  // and a repaint: a window whose procedure was left in the unloaded
  // library would crash here.
  // The component's classes that outlived the unload with their procedure
  // still in the library's image: a window anyone in the process made of
  // one would run code that is gone.
  static std::vector<std::wstring> classes_running_into(HMODULE module, size_t image_size) {
    std::vector<std::wstring> found;
    for (const wchar_t* name : {toolbar_class_name, panel_class_name, mixer_window_class}) {
      WNDCLASSEXW description = {};
      description.cbSize = sizeof description;
      if (!GetClassInfoExW(module, name, &description)) continue;
      const auto procedure = reinterpret_cast<uintptr_t>(description.lpfnWndProc);
      if (procedure - reinterpret_cast<uintptr_t>(module) < image_size) found.push_back(name);
    }
    return found;
  }
  static size_t image_size(HMODULE module) {
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew)
        ->OptionalHeader.SizeOfImage;
  }

  static void poke(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
      SendMessageW(window, WM_NULL, 0, 0);
      SendMessageW(window, WM_COMMAND, MAKEWPARAM(1000, CBN_SELCHANGE), 0);
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  }

  HWND focus_holder = nullptr;
  standin::PreferencesWindow preferences;
};

TEST_F(UnloadTest, WindowsTheHostNeverDestroyedGoWithTheLibrary) {
  const std::vector<HWND> windows = place_everything();
  for (HWND window : windows)
    ASSERT_NE(nullptr, window);
  ASSERT_NE(focus_holder, GetFocus()) << "the drag borrowed the focus";
  const HMODULE module = component.module();
  unload();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window)) << window;
  poke(windows);
  EXPECT_EQ(focus_holder, GetFocus()) << "the drag's focus came back";
  EXPECT_FALSE(class_registered(module, toolbar_class_name));
  EXPECT_FALSE(class_registered(module, panel_class_name));
  EXPECT_FALSE(class_registered(module, mixer_window_class));
}

TEST_F(UnloadTest, AnUnloadOnAnotherThreadLeavesThisThreadsWindowsHarmless) {
  const std::vector<HWND> windows = place_everything();
  for (HWND window : windows)
    ASSERT_NE(nullptr, window);
  const HMODULE module = component.module();
  const size_t size = image_size(module);
  std::thread([this] { unload(); }).join();
  ASSERT_FALSE(component.loaded());
  poke(windows);
  // They were asked to close, and go once this thread handles that.
  testing_support::flush_events();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window)) << window;
  poke(windows);
  EXPECT_EQ(std::vector<std::wstring>{}, classes_running_into(module, size));
  EXPECT_EQ(focus_holder, GetFocus()) << "the drag's focus came back";
}

class SliderLifetimeTest : public SliderTest {};

TEST_F(SliderLifetimeTest, AWindowDestroyedWithItsContainerIsForgottenAndMadeAgain) {
  struct Case {
    unsigned type;
    int shown_at_250;  // the panel turns the scale over
  };
  for (const Case& c : {Case{ew::type_toolbar, 250}, Case{ew::type_panel, 750}}) {
    SCOPED_TRACE(c.type);
    HWND own_container = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 400, 200,
                                         container, nullptr, GetModuleHandleW(nullptr), nullptr);
    standin::ExtensionWindowView object = new_window_object(c.type);
    const HWND first = place(object, RECT{10, 10, 300, 100}, own_container);
    ASSERT_NE(nullptr, first);
    const HWND first_trackbar = trackbar_in(first);
    DestroyWindow(own_container);
    EXPECT_EQ(nullptr, object.window()) << "a destroyed window is forgotten";

    HWND again = place(object, RECT{10, 10, 300, 100});
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(again, object.window());
    calls->clear();
    set_host_level(250);
    testing_support::flush_events();
    EXPECT_EQ(c.shown_at_250, trackbar_pos(trackbar_in(again))) << "registered and following";
    EXPECT_FALSE(calls->touched(first) || calls->touched(first_trackbar))
        << "the destroyed window left the registry";
    object.destroy();
  }
}

// A player with no assistive technology: the sliders work and go as they
// always did, no accessibility library is loaded, and the unload unloads.
TEST_F(SliderLifetimeTest, WithNoClientNothingIsLoadedForOneAndTheLibraryGoes) {
  int top = 10;
  for (unsigned type : {ew::type_toolbar, ew::type_panel}) {
    standin::ExtensionWindowView object = new_window_object(type, false);
    ASSERT_NE(nullptr, place(object, RECT{10, top, 300, top + 100}));
    top += 120;
    set_host_level(250 + top);
    testing_support::flush_events();
    EXPECT_EQ(0, object.release());
  }
  const HMODULE module = component.module();
  player.unload();  // its patches go first: they write into the library
  wchar_t name[MAX_PATH];
  EXPECT_EQ(0u, GetModuleFileNameW(module, name, MAX_PATH)) << "the library stayed";
  EXPECT_EQ(nullptr, GetModuleHandleW(L"oleacc.dll"));
}

TEST_F(ToolbarTest, AToolbarDestroyedMidDragGivesTheFocusBack) {
  press(x_for(400));
  ASSERT_NE(focus_holder, GetFocus()) << "the drag borrowed the focus";
  toolbar.destroy();
  EXPECT_EQ(focus_holder, GetFocus());
}

// The host may release its objects on any thread. Those released on another
// thread than their windows' leave nothing of theirs: the windows close,
// the drag's tooltip with them, and no broadcast reaches their handles,
// which the system may give to someone else's windows next.
TEST_F(ToolbarTest, ObjectsReleasedOnAnotherThreadMidDragLeaveNothingBehind) {
  standin::ExtensionWindowView other = new_window_object(ew::type_toolbar, false);
  standin::ExtensionWindowView panel = new_window_object(ew::type_panel, false);
  const HWND window = place(other, RECT{10, 60, 400, 90});
  const HWND panel_window = place(panel, RECT{420, 60, 450, 260});
  ASSERT_NE(nullptr, window);
  ASSERT_NE(nullptr, panel_window);
  const HWND other_trackbar = trackbar_in(window);
  SendMessageW(other_trackbar, WM_LBUTTONDOWN, MK_LBUTTON, at(100));
  const HWND tooltip = tooltip_of(window);
  ASSERT_NE(nullptr, tooltip);
  std::thread([&other, &panel] {
    EXPECT_EQ(0, other.release());
    EXPECT_EQ(0, panel.release());
  }).join();
  // They were asked to close, and go once this thread handles that.
  testing_support::flush_events();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(panel_window));
  EXPECT_FALSE(IsWindow(tooltip)) << "owned by the main window, it would have stayed on screen";
  EXPECT_EQ(focus_holder, GetFocus()) << "the drag's focus came back";

  calls->clear();
  set_host_level(250);
  testing_support::flush_events();
  EXPECT_EQ(250, trackbar_pos(trackbar)) << "the toolbar still here still follows";
  for (HWND gone : {window, other_trackbar, panel_window})
    EXPECT_FALSE(calls->touched(gone)) << "a released window is still in the registry";
}

}  // namespace
