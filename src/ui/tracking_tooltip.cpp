// A tracking tooltip with one tool, the slider's host window, placed by hand.
#include "ui/tracking_tooltip.h"

#include <commctrl.h>

#include "frame/component_state.h"
#include "frame/window_class.h"
#include "host/utf8api.h"
#include "ui/tool_info.h"

namespace dwx {

static_assert(sizeof(TrackingTooltip) == sizeof(HWND), "the toolbar object's tooltip handle");

namespace {

// The tip stands this far below the cursor, clear of the pointer's arrow.
constexpr int32_t below_cursor = 21;

constexpr uint32_t adding_flags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
constexpr uint32_t updating_flags = TTF_SUBCLASS | TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;

ToolInfo tool(HWND host_window, uint32_t flags, const char* text) {
  ToolInfo info = {};
  info.size = sizeof info;
  info.flags = flags;
  info.owner = host_window;
  info.id = 0;
  info.instance = module_instance();
  info.text = text;
  return info;
}

// Each coordinate is cut to 16 bits, as the message carries them.
LPARAM track_point(POINT screen) {
  return static_cast<LPARAM>(
      MAKELONG(static_cast<WORD>(screen.x), static_cast<WORD>(screen.y + below_cursor)));
}

}  // namespace

void TrackingTooltip::show(HWND host_window, const char* text, POINT screen) {
  hide();
  window_ = uCreateWindowEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, host_window, nullptr, module_instance(),
                            nullptr);
  SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const ToolInfo info = tool(host_window, adding_flags, text);
  send_tool_info(window_, info, false);
  move(screen);
  uSendMessage(window_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
}

void TrackingTooltip::move(POINT screen) {
  if (window_ == nullptr) return;
  uSendMessage(window_, TTM_TRACKPOSITION, 0, track_point(screen));
}

void TrackingTooltip::set_text(HWND host_window, const char* text) {
  if (window_ == nullptr) return;
  send_tool_info(window_, tool(host_window, updating_flags, text), true);
}

void TrackingTooltip::hide() {
  if (window_ == nullptr) return;
  // Another thread's window, when the object goes from there, is asked to
  // close instead.
  if (IsWindow(window_)) let_go_of_window(window_);
  window_ = nullptr;
}

}  // namespace dwx
