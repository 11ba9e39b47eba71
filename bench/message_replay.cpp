// Recording the component's message calls through its import table, and the twins they are replayed
// on.
#include "message_replay.h"

#include <mmsystem.h>

#include <cstdio>
#include <cstring>

#include "quiet_windows.h"

namespace bench {

namespace {

MessageRecorder* active = nullptr;

using SendFunction = LRESULT(__cdecl*)(HWND, UINT, WPARAM, LPARAM);
using NotifyFunction = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
SendFunction original_send = nullptr;
NotifyFunction original_notify = nullptr;
NotifyFunction original_post = nullptr;

LRESULT __cdecl recording_send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  active->add(RecordedCall::How::send, false, window, message, wparam, lparam);
  return original_send(window, message, wparam, lparam);
}
BOOL WINAPI recording_notify(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  active->add(RecordedCall::How::notify, false, window, message, wparam, lparam);
  return original_notify(window, message, wparam, lparam);
}
BOOL WINAPI recording_post(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  active->add(RecordedCall::How::post, false, window, message, wparam, lparam);
  return original_post(window, message, wparam, lparam);
}

// The messages whose lParam is a value, which the replay passes as it was.
bool carries_value(UINT message) {
  switch (message) {
    case TBM_SETPOS:
    case TBM_GETPOS:
    case TTM_TRACKPOSITION:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_MOUSEMOVE:
    case WM_MOUSEWHEEL:
    case WM_CLOSE:
    case MM_MIXM_CONTROL_CHANGE:
      return true;
  }
  // The application's own messages: the component's carry numbers.
  return message >= WM_APP && message <= 0xBFFF;
}

bool is_text(const wchar_t* text) {
  const auto value = reinterpret_cast<UINT_PTR>(text);
  return value >= 0x10000 && value != ~UINT_PTR{0};
}

bool has_class(HWND window, const wchar_t* name) {
  wchar_t found[64] = {};
  GetClassNameW(window, found, 64);
  return lstrcmpiW(found, name) == 0;
}

// The window's rectangle in its top-level window's client coordinates.
RECT place_in_root(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, GetAncestor(window, GA_ROOT), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

HWND twin_trackbar(HWND original, HWND parent) {
  const RECT at = place_in_root(original);
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(original, GWL_STYLE));
  HWND twin =
      CreateWindowExW(0, TRACKBAR_CLASSW, nullptr, style, at.left, at.top, at.right - at.left,
                      at.bottom - at.top, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  const LRESULT low = SendMessageW(original, TBM_GETRANGEMIN, 0, 0);
  const LRESULT high = SendMessageW(original, TBM_GETRANGEMAX, 0, 0);
  SendMessageW(twin, TBM_SETRANGE, FALSE, MAKELPARAM(low, high));
  SendMessageW(twin, TBM_SETPOS, TRUE, SendMessageW(original, TBM_GETPOS, 0, 0));
  return twin;
}

// Shown as the component shows its tooltip: one tracking tool (the one the
// recorded calls name) at the first point they place it.
HWND twin_tooltip(HWND original, const std::vector<Operation>& operations, HWND parent) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(original, GWL_STYLE)) & ~WS_VISIBLE;
  const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(original, GWL_EXSTYLE));
  HWND twin = CreateWindowExW(ex_style, TOOLTIPS_CLASSW, nullptr, style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  SetWindowPos(twin, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const RecordedCall* tool = nullptr;
  const RecordedCall* place = nullptr;
  for (const Operation& operation : operations) {
    for (const RecordedCall& call : operation) {
      if (call.window != original) continue;
      if (tool == nullptr && call.argument == RecordedCall::Argument::tool_info) tool = &call;
      if (place == nullptr && call.message == TTM_TRACKPOSITION) place = &call;
    }
  }
  if (tool == nullptr) return twin;
  TTTOOLINFOW info = tool->tool;
  info.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_TRANSPARENT;
  info.lpszText = const_cast<wchar_t*>(tool->text.c_str());
  SendMessageW(twin, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  if (place != nullptr) SendMessageW(twin, TTM_TRACKPOSITION, 0, place->lparam);
  SendMessageW(twin, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&info));
  return twin;
}

}  // namespace

MessageRecorder::MessageRecorder(HMODULE component) : ui_thread_(GetCurrentThreadId()) {
  using testing_support::ImportPatch;
  patches_[0] = std::make_unique<ImportPatch>(component, "utf8api.dll", "uSendMessage",
                                              reinterpret_cast<const void*>(&recording_send));
  patches_[1] = std::make_unique<ImportPatch>(component, "user32.dll", "SendNotifyMessageW",
                                              reinterpret_cast<const void*>(&recording_notify));
  patches_[2] = std::make_unique<ImportPatch>(component, "user32.dll", "PostMessageW",
                                              reinterpret_cast<const void*>(&recording_post));
  original_send = patches_[0]->original<SendFunction>();
  original_notify = patches_[1]->original<NotifyFunction>();
  original_post = patches_[2]->original<NotifyFunction>();
  active = this;
}

MessageRecorder::~MessageRecorder() {
  for (auto& patch : patches_)
    patch.reset();
  active = nullptr;
}

bool MessageRecorder::applied() const {
  for (const auto& patch : patches_) {
    if (!patch->applied()) return false;
  }
  return true;
}

Operation MessageRecorder::take() {
  std::lock_guard<std::mutex> lock(mutex_);
  Operation taken;
  taken.swap(calls_);
  return taken;
}

std::string MessageRecorder::error() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return error_;
}

void MessageRecorder::add(RecordedCall::How how, bool entry, HWND window, UINT message,
                          WPARAM wparam, LPARAM lparam) {
  RecordedCall call;
  call.how = how;
  call.on_ui_thread = GetCurrentThreadId() == ui_thread_;
  call.entry = entry;
  call.window = window;
  call.message = message;
  call.wparam = wparam;
  call.lparam = lparam;
  if (message == TBM_GETCHANNELRECT || message == TBM_GETTHUMBRECT) {
    call.argument = RecordedCall::Argument::rect_out;
  } else if ((message == TTM_ADDTOOLW || message == TTM_UPDATETIPTEXTW ||
              message == TTM_TRACKACTIVATE) &&
             lparam != 0) {
    call.argument = RecordedCall::Argument::tool_info;
    const auto* tool = reinterpret_cast<const TTTOOLINFOW*>(lparam);
    memcpy(&call.tool, tool, tool->cbSize < sizeof call.tool ? tool->cbSize : sizeof call.tool);
    if (is_text(tool->lpszText)) call.text = tool->lpszText;
  } else if (!carries_value(message)) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (error_.empty()) {
      char text[96];
      snprintf(text, sizeof text, "message 0x%X, whose argument the replay does not know", message);
      error_ = text;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.push_back(std::move(call));
}

LRESULT send_entry(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (active != nullptr)
    active->add(RecordedCall::How::send, true, window, message, wparam, lparam);
  return SendMessageW(window, message, wparam, lparam);
}

Replay::Replay(std::vector<Operation> operations, HWND twin_parent)
    : recorded_(std::move(operations)) {
  for (Operation& operation : recorded_) {
    std::vector<Call> calls;
    for (RecordedCall& recorded : operation) {
      Call call{recorded.how,     recorded.on_ui_thread, twin_for(recorded, twin_parent),
                recorded.message, recorded.wparam,       recorded.lparam};
      if (recorded.argument == RecordedCall::Argument::rect_out) {
        call.lparam = reinterpret_cast<LPARAM>(&scratch_);
      } else if (recorded.argument == RecordedCall::Argument::tool_info) {
        if (is_text(recorded.tool.lpszText)) {
          recorded.tool.lpszText = const_cast<wchar_t*>(recorded.text.c_str());
        }
        call.lparam = reinterpret_cast<LPARAM>(&recorded.tool);
      }
      calls.push_back(call);
    }
    operations_.push_back(std::move(calls));
  }
}

Replay::~Replay() {
  for (const auto& twin : twins_)
    DestroyWindow(twin.second);
}

HWND Replay::twin_for(const RecordedCall& call, HWND twin_parent) {
  const auto key = std::make_pair(call.window, call.entry);
  auto found = twins_.find(key);
  if (found != twins_.end()) return found->second;
  HWND twin;
  if (call.entry) {
    twin = create_quiet_window(QuietKind::plain, 0, WS_CHILD, 0, 0, 0, 0, twin_parent);
  } else if (has_class(call.window, TRACKBAR_CLASSW)) {
    twin = twin_trackbar(call.window, twin_parent);
  } else if (has_class(call.window, TOOLTIPS_CLASSW)) {
    twin = twin_tooltip(call.window, recorded_, twin_parent);
  } else if (is_quiet_trackbar(call.window)) {
    const RECT at = place_in_root(call.window);
    twin = create_quiet_window(
        QuietKind::trackbar, 0, static_cast<DWORD>(GetWindowLongPtrW(call.window, GWL_STYLE)),
        at.left, at.top, at.right - at.left, at.bottom - at.top, twin_parent);
  } else {
    twin = create_quiet_window(QuietKind::plain, 0, WS_CHILD, 0, 0, 0, 0, twin_parent);
  }
  twins_[key] = twin;
  return twin;
}

void Replay::play(size_t n, bool ui_thread) {
  for (const Call& call : operations_[n % operations_.size()]) {
    if (call.on_ui_thread != ui_thread) continue;
    switch (call.how) {
      case RecordedCall::How::send:
        SendMessageW(call.twin, call.message, call.wparam, call.lparam);
        break;
      case RecordedCall::How::notify:
        SendNotifyMessageW(call.twin, call.message, call.wparam, call.lparam);
        break;
      case RecordedCall::How::post:
        PostMessageW(call.twin, call.message, call.wparam, call.lparam);
        break;
    }
  }
}

bool Replay::has_calls(bool ui_thread) const {
  for (const auto& operation : operations_) {
    for (const Call& call : operation) {
      if (call.on_ui_thread == ui_thread) return true;
    }
  }
  return false;
}

std::string Replay::summary() const {
  if (operations_.empty()) return "nothing";
  int sends = 0, notifications = 0, posts = 0;
  for (const Call& call : operations_[0]) {
    sends += call.how == RecordedCall::How::send;
    notifications += call.how == RecordedCall::How::notify;
    posts += call.how == RecordedCall::How::post;
  }
  char text[96];
  snprintf(text, sizeof text, "%d sends, %d notifications, %d posts", sends, notifications, posts);
  return text;
}

}  // namespace bench
