// The quiet window classes and the creation hook that hands them to the component.
#include "quiet_windows.h"

#include <commctrl.h>

namespace bench {

namespace {

constexpr wchar_t trackbar_class[] = L"DwxBenchQuietTrackbar";
constexpr wchar_t plain_class[] = L"DwxBenchQuietWindow";

// Roughly what Wine's trackbar of a 440-pixel toolbar answers. The thumb
// stays put: nothing here draws it.
constexpr RECT channel = {8, 13, 432, 17};
constexpr RECT thumb = {210, 5, 221, 26};
constexpr LRESULT position = 500, range_max = 1000;

LRESULT common(HWND window, UINT message) {
  switch (message) {
    case WM_NCCREATE:
      return TRUE;  // anything else would refuse the window
    case WM_PAINT:
      // A visible window left invalid would be sent WM_PAINT for ever.
      ValidateRect(window, nullptr);
      return 0;
  }
  return 0;
}

LRESULT CALLBACK quiet_trackbar(HWND window, UINT message, WPARAM, LPARAM lparam) {
  switch (message) {
    case TBM_GETCHANNELRECT:
      *reinterpret_cast<RECT*>(lparam) = channel;
      return 0;
    case TBM_GETTHUMBRECT:
      *reinterpret_cast<RECT*>(lparam) = thumb;
      return 0;
    case TBM_GETPOS:
      return position;
    case TBM_GETRANGEMIN:
      return 0;
    case TBM_GETRANGEMAX:
      return range_max;
  }
  return common(window, message);
}

LRESULT CALLBACK quiet_plain(HWND window, UINT message, WPARAM, LPARAM) {
  return common(window, message);
}

const wchar_t* class_of(QuietKind kind) {
  static const bool registered = [] {
    WNDCLASSW description = {};
    description.hInstance = GetModuleHandleW(nullptr);
    description.lpfnWndProc = quiet_trackbar;
    description.lpszClassName = trackbar_class;
    RegisterClassW(&description);
    description.lpfnWndProc = quiet_plain;
    description.lpszClassName = plain_class;
    RegisterClassW(&description);
    return true;
  }();
  (void)registered;
  return kind == QuietKind::trackbar ? trackbar_class : plain_class;
}

using CreateWindowFunction = HWND(__cdecl*)(DWORD, const char*, const char*, DWORD, int, int, int,
                                            int, HWND, HMENU, HINSTANCE, void*);
CreateWindowFunction original_create = nullptr;

bool named(const char* class_name, const char* name) {
  return (reinterpret_cast<UINT_PTR>(class_name) >> 16) != 0 && lstrcmpiA(class_name, name) == 0;
}

HWND __cdecl create_quietly(DWORD ex_style, const char* class_name, const char* title, DWORD style,
                            int x, int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, void* parameter) {
  if (named(class_name, "msctls_trackbar32")) {
    return create_quiet_window(QuietKind::trackbar, ex_style, style, x, y, width, height, parent);
  }
  if (named(class_name, "tooltips_class32")) {
    return create_quiet_window(QuietKind::plain, ex_style, style, x, y, width, height, parent);
  }
  return original_create(ex_style, class_name, title, style, x, y, width, height, parent, menu,
                         instance, parameter);
}

}  // namespace

HWND create_quiet_window(QuietKind kind, DWORD ex_style, DWORD style, int x, int y, int width,
                         int height, HWND parent) {
  return CreateWindowExW(ex_style, class_of(kind), nullptr, style, x, y, width, height, parent,
                         nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool is_quiet_trackbar(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return lstrcmpW(name, trackbar_class) == 0;
}

QuietControls::QuietControls(HMODULE component)
    : patch_(component, "utf8api.dll", "uCreateWindowEx",
             reinterpret_cast<const void*>(&create_quietly)) {
  original_create = patch_.original<CreateWindowFunction>();
}

}  // namespace bench
