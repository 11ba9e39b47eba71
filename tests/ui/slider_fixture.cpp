// Loading the component for the slider tests, placing its windows, and
// reading Wine's trackbars and tooltips back.
#include "ui/slider_fixture.h"

#include <commctrl.h>

#include <cstdio>

#include "backend/volume_scale.h"
#include "utf8api_testing.h"

const wchar_t toolbar_class_name[] = L"C4553E95-BFE3-4016-A475-ACF3ED951813";
const wchar_t panel_class_name[] = L"F14E14BB-32D3-4d44-9D0F-CDEAC87F371E";

namespace {

// Room for a toolbar whose span is 1000 pixels, one per level. One for the
// whole program: destroying a visible top-level window that is active costs
// two seconds under Wine on a display without a window manager.
HWND shared_container() {
  static HWND container = nullptr;
  if (!IsWindow(container)) {
    container = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                1240, 500, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  return container;
}

}  // namespace

void SliderTest::SetUp() {
  ComponentTest::SetUp();
  if (HasFatalFailure()) return;
  calls = std::make_unique<ComponentCalls>(component.module());
  ASSERT_TRUE(calls->applied());
  container = shared_container();
  ASSERT_NE(nullptr, container);
  SetForegroundWindow(container);
  testing_support::flush_events();
  before_start();
  component.start(configuration());
}

void SliderTest::TearDown() {
  for (standin::ExtensionWindowView& object : owned_) {
    while (object.release() > 0) {
    }
  }
  owned_.clear();
  before_unload();
  // Before the unload: the patches write into the component's image.
  patches_.clear();
  // Before the unload: the patches write into the component's image.
  calls.reset();
  utf8api_set_unicode(-1);
  ComponentTest::TearDown();
}

testing_support::ImportPatch& SliderTest::patch(const char* dll, const char* function,
                                                const void* replacement) {
  patches_.push_back(std::make_unique<testing_support::ImportPatch>(component.module(), dll,
                                                                    function, replacement));
  return *patches_.back();
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

standin::ExtensionWindowView SliderTest::new_window_object(unsigned type, bool owned) {
  for (unsigned nth = 0;; ++nth) {
    standin::ExtensionWindowView object(
        component.create_service(standin::guids::extension_window, nth));
    if (!object) return object;
    if (object.type() == type) {
      if (owned) owned_.push_back(object);
      return object;
    }
    object.release();
  }
}

HWND SliderTest::place(standin::ExtensionWindowView& object, RECT where, HWND parent,
                       standin::ExtensionHostObject* holder) {
  HWND window = object.create_or_transfer(parent != nullptr ? parent : container,
                                          holder != nullptr ? holder : &layout);
  if (window == nullptr) return nullptr;
  SetWindowPos(window, nullptr, where.left, where.top, where.right - where.left,
               where.bottom - where.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  testing_support::flush_events();
  return window;
}

std::vector<int> SliderTest::hdb_for(std::vector<int> levels) {
  std::vector<int> hdb;
  for (int level : levels)
    hdb.push_back(dwx::level_to_hdb(level));
  return hdb;
}

void SliderTest::set_host_level(int level) { host.change_volume(dwx::level_to_hdb(level)); }

HWND trackbar_in(HWND host_window) {
  return FindWindowExW(host_window, nullptr, TRACKBAR_CLASSW, nullptr);
}

namespace {

struct TooltipSearch {
  HWND owner;
  HWND found;
};

// A tooltip that has a tool for the window. Its owner says less: a popup
// given a child window as owner is owned by that child's top-level window.
BOOL CALLBACK find_tooltip(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<TooltipSearch*>(context);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpiW(name, TOOLTIPS_CLASSW) != 0) return TRUE;
  TTTOOLINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = search->owner;
  info.uId = 0;
  if (SendMessageW(window, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

RECT rect_message(HWND trackbar, UINT message) {
  RECT r = {};
  SendMessageW(trackbar, message, 0, reinterpret_cast<LPARAM>(&r));
  return r;
}

}  // namespace

HWND tooltip_of(HWND host_window) {
  TooltipSearch search{host_window, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), find_tooltip, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string tooltip_text(HWND tooltip, HWND tool_window) {
  wchar_t text[256] = {};
  TTTOOLINFOW info = {};
  info.cbSize = sizeof info;
  info.hwnd = tool_window;
  info.uId = 0;
  info.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  char utf8[512] = {};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  return utf8;
}

int trackbar_pos(HWND trackbar) {
  return static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
}
RECT channel_rect(HWND trackbar) { return rect_message(trackbar, TBM_GETCHANNELRECT); }
RECT thumb_rect(HWND trackbar) { return rect_message(trackbar, TBM_GETTHUMBRECT); }

std::string db_text(int level) {
  const int hdb = dwx::level_to_hdb(level);
  const int magnitude = hdb < 0 ? -hdb : hdb;
  char text[32];
  snprintf(text, sizeof text, "%s%d.%02d dB", hdb < 0 ? "-" : "", magnitude / 100, magnitude % 100);
  return text;
}

bool class_registered(HMODULE module, const wchar_t* class_name) {
  WNDCLASSEXW description = {};
  description.cbSize = sizeof description;
  return GetClassInfoExW(module, class_name, &description) != FALSE;
}
