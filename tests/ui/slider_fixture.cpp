// Starting the component for the slider tests, and placing the measured toolbar.
#include "ui/slider_fixture.h"

#include <commctrl.h>

#include "backend/volume_scale.h"
#include "utf8api_testing.h"

const wchar_t toolbar_class_name[] = L"C4553E95-BFE3-4016-A475-ACF3ED951813";
const wchar_t panel_class_name[] = L"F14E14BB-32D3-4d44-9D0F-CDEAC87F371E";

void SliderTest::SetUp() {
  ASSERT_TRUE(player.load(library_path().c_str())) << player.error();
  calls = &player.attach<ComponentCalls>();
  ASSERT_TRUE(calls->applied());
  ASSERT_NE(nullptr, container);
  SetForegroundWindow(container);
  testing_support::flush_events();
  before_start();
  player.start(configuration());
}

void SliderTest::TearDown() {
  host_spy.reset();
  if (IsWindow(focus_holder)) DestroyWindow(focus_holder);
  player.close_windows();
  before_unload();
  utf8api_set_unicode(-1);
  player.close();
}

namespace {

using CreateWindowFunction = HWND(__cdecl*)(DWORD, const char*, const char*, DWORD, int, int, int,
                                            int, HWND, HMENU, HINSTANCE, void*);
CreateWindowFunction original_create = nullptr;
const char* refused_class = nullptr;

HWND __cdecl create_all_but_refused(DWORD ex_style, const char* class_name, const char* title,
                                    DWORD style, int x, int y, int width, int height, HWND parent,
                                    HMENU menu, HINSTANCE instance, void* parameter) {
  const bool named = (reinterpret_cast<UINT_PTR>(class_name) >> 16) != 0;
  if (named && lstrcmpiA(class_name, refused_class) == 0) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  return original_create(ex_style, class_name, title, style, x, y, width, height, parent, menu,
                         instance, parameter);
}

}  // namespace

void SliderTest::refuse_windows_of(const char* class_name) {
  refused_class = class_name;
  testing_support::ImportPatch& refusing = patch(
      "utf8api.dll", "uCreateWindowEx", reinterpret_cast<const void*>(&create_all_but_refused));
  ASSERT_TRUE(refusing.applied());
  original_create = refusing.original<CreateWindowFunction>();
}

std::vector<int> SliderTest::hdb_for(std::vector<int> levels) {
  std::vector<int> hdb;
  for (int level : levels)
    hdb.push_back(dwx::level_to_hdb(level));
  return hdb;
}

void SliderTest::set_host_level(int level) { host.change_volume(dwx::level_to_hdb(level)); }

void SliderTest::place_toolbar(int unicode) {
  utf8api_set_unicode(unicode);
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
  ASSERT_EQ(span_left, player::x_for(trackbar, 0));
  ASSERT_EQ(span_right, player::x_for(trackbar, 1000));
  y = player::channel_y(trackbar);

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

POINT SliderTest::screen_point(int x) const {
  POINT point{x, y};
  ClientToScreen(trackbar, &point);
  return point;
}

bool class_registered(HMODULE module, const wchar_t* class_name) {
  WNDCLASSEXW description = {};
  description.cbSize = sizeof description;
  return GetClassInfoExW(module, class_name, &description) != FALSE;
}
