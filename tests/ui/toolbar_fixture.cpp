// Places the toolbar at a width whose drag span is 1000 pixels, checks what
// that rests on, and sends the trackbar what Windows would.
#include "ui/toolbar_fixture.h"

#include <commctrl.h>

#include "utf8api_testing.h"

void ToolbarTest::SetUp() {
  SliderTest::SetUp();
  if (HasFatalFailure()) return;
  utf8api_set_unicode(unicode_mode());
  focus_holder = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 300, 200,
                                 24, container, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(nullptr, focus_holder);

  toolbar = new_window_object(standin::extension_window::type_toolbar);
  ASSERT_TRUE(toolbar);
  toolbar_window = place(toolbar, RECT{10, 10, 10 + window_width, 40});
  ASSERT_NE(nullptr, toolbar_window);
  trackbar = trackbar_in(toolbar_window);
  ASSERT_NE(nullptr, trackbar);
  // What the span, and so every level the tests expect, rests on.
  const RECT channel = channel_rect(trackbar);
  const RECT thumb = thumb_rect(trackbar);
  ASSERT_EQ(channel_left, channel.left);
  ASSERT_EQ(channel_right, channel.right);
  ASSERT_EQ(11, thumb.right - thumb.left);
  y = (channel.top + channel.bottom) / 2;

  host_spy = std::make_unique<testing_support::WindowSpy>(
      toolbar_window, std::vector<UINT>{WM_HSCROLL, WM_SETFOCUS, WM_KILLFOCUS, WM_CONTEXTMENU});
  // The focus must sit in the active window: a focus taken in another
  // top-level window would first activate it and pass through it.
  SetForegroundWindow(container);
  SetActiveWindow(container);
  focus_elsewhere();
  testing_support::flush_events();
  ASSERT_EQ(container, GetActiveWindow());
  ASSERT_EQ(focus_holder, GetFocus());
  host_spy->clear();
  calls->clear();
  host.clear_records();
}

void ToolbarTest::TearDown() {
  host_spy.reset();
  if (IsWindow(focus_holder)) DestroyWindow(focus_holder);
  SliderTest::TearDown();
}

POINT ToolbarTest::screen_point(int x) const {
  POINT point{x, y};
  ClientToScreen(trackbar, &point);
  return point;
}

LRESULT ToolbarTest::to_trackbar(UINT message, WPARAM wparam, LPARAM lparam) {
  return SendMessageW(trackbar, message, wparam, lparam);
}

LRESULT ToolbarTest::escape() {
  return SendMessageW(toolbar_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
}
