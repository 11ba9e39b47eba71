// A tracking tooltip with one tool, the slider's host window, placed by hand.
#include "ui/tracking_tooltip.h"

#include <commctrl.h>

#include "frame/component_state.h"
#include "host/utf8api.h"
#include "text/tool_info.h"

namespace dwx {

namespace {

// The tip stands this far below the cursor, clear of the pointer's arrow.
constexpr int32_t below_cursor = 21;

constexpr uint32_t adding_flags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
constexpr uint32_t updating_flags = TTF_SUBCLASS | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;

ToolInfo tool(HWND owner, uint32_t flags, const char* text) {
  ToolInfo info = {};
  info.size = sizeof info;
  info.flags = flags;
  info.owner = owner;
  info.id = 0;
  info.instance = module_instance();
  info.text = text;
  return info;
}

// Each coordinate is cut to 16 bits, as the message carries them.
LPARAM track_point(int32_t x, int32_t y) {
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(x), static_cast<WORD>(y + below_cursor)));
}

}  // namespace

void show_tooltip(HWND& tooltip, HWND owner, const char* text, int32_t x, int32_t y) {
  hide_tooltip(tooltip);
  tooltip =
      uCreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, module_instance(), nullptr);
  SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const ToolInfo info = tool(owner, adding_flags, text);
  send_tool_info(tooltip, info, false);
  move_tooltip(tooltip, x, y);
  uSendMessage(tooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void move_tooltip(HWND tooltip, int32_t x, int32_t y) {
  if (tooltip == nullptr) return;
  uSendMessage(tooltip, TTM_TRACKPOSITION, 0, track_point(x, y));
}

void update_tooltip(HWND tooltip, HWND owner, const char* text) {
  if (tooltip == nullptr) return;
  send_tool_info(tooltip, tool(owner, updating_flags, text), true);
}

void hide_tooltip(HWND& tooltip) {
  if (tooltip == nullptr) return;
  DestroyWindow(tooltip);
  tooltip = nullptr;
}

}  // namespace dwx
