// A drag step measured through the toolbar the component builds, and the
// same window messages measured on controls of its own.
#include "drag_bench.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>

#include "bench_clock.h"
#include "frame/component_client.h"
#include "host/guids.h"
#include "ui/extension_window.h"

namespace bench {

namespace {

// A step costs milliseconds under Wine: a few hundred are plenty.
constexpr int iterations = 200;

// Shown without being activated: a visible active window takes Wine two
// seconds to destroy on a display without a window manager.
HWND make_parent() {
  HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 460, 80, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ShowWindow(parent, SW_SHOWNOACTIVATE);
  return parent;
}

dwx::ExtensionWindow* new_toolbar() {
  for (auto* node = dwx::component_client.get_service_list(); node; node = node->next()) {
    if (!IsEqualGUID(node->class_guid(), dwx::extension_window_class)) continue;
    auto* window = static_cast<dwx::ExtensionWindow*>(node->create());
    if (window->get_type() == dwx::extension_type_toolbar) return window;
    window->release();
  }
  return nullptr;
}

// Alternating between two points, so that every move is a new level.
LPARAM point_for(int i, const RECT& channel) {
  const int x = channel.left + (i % 2 ? 250 : 100);
  return MAKELPARAM(x, (channel.top + channel.bottom) / 2);
}

double component_step(HWND parent) {
  dwx::ExtensionWindow* toolbar = new_toolbar();
  if (toolbar == nullptr) return 0;
  HWND window = toolbar->create_or_transfer_window(parent, nullptr, nullptr);
  SetWindowPos(window, nullptr, 0, 0, 440, 30, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  HWND trackbar = FindWindowExW(window, nullptr, TRACKBAR_CLASSW, nullptr);
  RECT channel = {};
  SendMessageW(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));

  SendMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, point_for(1, channel));
  const double cost = microseconds_per_operation(
      [&](int i) { SendMessageW(trackbar, WM_MOUSEMOVE, MK_LBUTTON, point_for(i, channel)); },
      iterations);
  SendMessageW(trackbar, WM_LBUTTONUP, 0, point_for(0, channel));
  toolbar->release();
  return cost;
}

// What the component's step sends, sent straight to a plain trackbar and a
// plain tracking tooltip: the channel and thumb queries, the thumb set by
// the drag and again by the broadcast, the tooltip's text and position.
struct BareCosts {
  double step;
  double tooltip_placement;  // TTM_TRACKPOSITION alone
};

BareCosts bare_step(HWND parent) {
  HWND trackbar =
      CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, WS_CHILD | WS_VISIBLE | TBS_BOTH | TBS_NOTICKS,
                      0, 0, 440, 30, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(trackbar, TBM_SETRANGE, FALSE, MAKELPARAM(0, 1000));
  HWND tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
  wchar_t texts[2][16] = {L"-12.04 dB", L"-4.81 dB"};
  TTTOOLINFOW tool = {};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
  tool.hwnd = parent;
  tool.lpszText = texts[0];
  SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageW(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(100, 60));
  SendMessageW(tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));

  const double cost = microseconds_per_operation(
      [&](int i) {
        RECT rect;
        SendMessageW(trackbar, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rect));
        SendMessageW(trackbar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rect));
        const int level = i % 2 ? 500 : 250;
        SendMessageW(trackbar, TBM_SETPOS, TRUE, level);
        SendMessageW(trackbar, TBM_SETPOS, TRUE, level);
        tool.uFlags = TTF_SUBCLASS | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
        tool.lpszText = texts[i % 2];
        SendMessageW(tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(100 + level / 4, 60));
      },
      iterations);
  const double placement = microseconds_per_operation(
      [&](int i) {
        SendMessageW(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(100 + (i % 2 ? 125 : 62), 60));
      },
      iterations);
  DestroyWindow(tooltip);
  DestroyWindow(trackbar);
  return BareCosts{cost, placement};
}

}  // namespace

void report_drag_step() {
  HWND parent = make_parent();
  const double component = component_step(parent);
  const BareCosts bare = bare_step(parent);
  DestroyWindow(parent);
  printf("One mouse move of a toolbar drag, through the subclass, set_volume, the host's\n");
  printf("play callback, the broadcast and the tooltip, against the same trackbar and\n");
  printf("tooltip messages sent directly.\n\n");
  printf("%16s %16s %8s\n", "component (us)", "direct (us)", "ratio");
  printf("%16.2f %16.2f %7.2fx\n", component, bare.step, component / bare.step);
  printf("\nOf the direct cost, placing the tracking tooltip (TTM_TRACKPOSITION) alone: %.2f us.\n",
         bare.tooltip_placement);
}

}  // namespace bench
