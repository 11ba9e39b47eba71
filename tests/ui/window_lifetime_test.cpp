// Windows that outlive what the component expected: the library unloaded
// under them, on this thread or another, or their container destroyed by the
// host. Nothing the component leaves may still run its code.
#include <windows.h>

#include <commctrl.h>

#include <thread>

#include "support/blob.h"
#include "ui/slider_fixture.h"
#include "ui/toolbar_fixture.h"

namespace {

namespace ew = standin::extension_window;

constexpr wchar_t mixer_window_class[] = L"8DEB9B7A-B049-4599-AE4B-258E9D58D5F3";

// Both sliders placed, with Wine's first mixer selected: a window of every
// kind the component makes. The host never releases the objects.
class UnloadTest : public SliderTest {
 protected:
  std::vector<uint8_t> configuration() override {
    return testing_support::BlobBuilder().record("mixer_id", 1);
  }

  // The slider host windows, their trackbars and the mixer's callback window.
  std::vector<HWND> place_everything() {
    std::vector<HWND> windows;
    int top = 10;
    for (unsigned type : {ew::type_toolbar, ew::type_panel}) {
      standin::ExtensionWindowView object = new_window_object(type, false);
      HWND window = place(object, RECT{10, top, 300, top + 100});
      windows.push_back(window);
      windows.push_back(trackbar_in(window));
      top += 120;
    }
    windows.push_back(FindWindowExW(nullptr, nullptr, mixer_window_class, nullptr));
    return windows;
  }

  void unload() {
    calls.reset();
    component.unload();
  }

  // Each former window is sent a message and asked to repaint: a window
  // whose procedure was left in the unloaded library would crash here.
  static void poke(const std::vector<HWND>& windows) {
    for (HWND window : windows) {
      SendMessageW(window, WM_NULL, 0, 0);
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
  }
};

TEST_F(UnloadTest, WindowsTheHostNeverDestroyedGoWithTheLibrary) {
  const std::vector<HWND> windows = place_everything();
  for (HWND window : windows)
    ASSERT_NE(nullptr, window);
  const HMODULE module = component.module();
  unload();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window)) << window;
  poke(windows);
  EXPECT_FALSE(class_registered(module, toolbar_class_name));
  EXPECT_FALSE(class_registered(module, panel_class_name));
  EXPECT_FALSE(class_registered(module, mixer_window_class));
}

TEST_F(UnloadTest, AnUnloadOnAnotherThreadLeavesThisThreadsWindowsHarmless) {
  const std::vector<HWND> windows = place_everything();
  for (HWND window : windows)
    ASSERT_NE(nullptr, window);
  std::thread([this] { unload(); }).join();
  ASSERT_FALSE(component.loaded());
  poke(windows);
  // They were asked to close, and go once this thread handles that.
  testing_support::flush_events();
  for (HWND window : windows)
    EXPECT_FALSE(IsWindow(window)) << window;
  poke(windows);
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

TEST_F(ToolbarTest, AToolbarDestroyedMidDragGivesTheFocusBack) {
  press(x_for(400));
  ASSERT_NE(focus_holder, GetFocus()) << "the drag borrowed the focus";
  toolbar.destroy();
  EXPECT_EQ(focus_holder, GetFocus());
}

TEST_F(ToolbarTest, AToolbarReleasedOnAnotherThreadMidDragTakesItsTooltipAlong) {
  standin::ExtensionWindowView other = new_window_object(ew::type_toolbar, false);
  const HWND window = place(other, RECT{10, 60, 400, 90});
  ASSERT_NE(nullptr, window);
  SendMessageW(trackbar_in(window), WM_LBUTTONDOWN, MK_LBUTTON, at(100));
  const HWND tooltip = tooltip_of(window);
  ASSERT_NE(nullptr, tooltip);
  std::thread([&other] { EXPECT_EQ(0, other.release()); }).join();
  // Both were asked to close, and go once this thread handles that.
  testing_support::flush_events();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(IsWindow(tooltip)) << "owned by the main window, it would have stayed on screen";
}

}  // namespace
