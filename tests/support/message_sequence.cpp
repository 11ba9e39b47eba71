// Comparing message sequences, and the window spy that records them.
#include "support/message_sequence.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace testing_support {

namespace {

std::string hex(uintptr_t value) {
  char text[16];
  snprintf(text, sizeof text, "%#lx", static_cast<unsigned long>(value));
  return text;
}

std::string describe(const MessageEntry& entry) {
  std::string text = message_name(entry.message);
  if (entry.flags & msg_wparam) text += " wp=" + hex(entry.wparam);
  if (entry.flags & msg_lparam) text += " lp=" + hex(static_cast<uintptr_t>(entry.lparam));
  if (entry.flags & msg_optional) text += " (optional)";
  return text;
}

std::string list(const std::vector<MessageEntry>& entries) {
  if (entries.empty()) return "  (nothing)\n";
  std::string text;
  for (size_t i = 0; i < entries.size(); ++i)
    text += "  " + std::to_string(i) + ": " + describe(entries[i]) + "\n";
  return text;
}

bool params_match(const MessageEntry& expected, const MessageEntry& seen) {
  if ((expected.flags & msg_wparam) && expected.wparam != seen.wparam) return false;
  if ((expected.flags & msg_lparam) && expected.lparam != seen.lparam) return false;
  return true;
}

}  // namespace

size_t MessageSequence::count(UINT message) const {
  return std::count_if(entries_.begin(), entries_.end(),
                       [message](const MessageEntry& e) { return e.message == message; });
}

::testing::AssertionResult sequence_is(const MessageSequence& seen,
                                       const std::vector<MessageEntry>& expected) {
  const std::vector<MessageEntry>& got = seen.entries();
  size_t e = 0, g = 0;
  std::string problem;
  while (e < expected.size() && g < got.size()) {
    const MessageEntry& want = expected[e];
    if (want.message == got[g].message && params_match(want, got[g])) {
      ++e;
      ++g;
    } else if (want.flags & msg_optional) {
      ++e;
    } else {
      problem = "expected entry " + std::to_string(e) + " (" + describe(want) + "), saw entry " +
                std::to_string(g) + " (" + describe(got[g]) + ")";
      break;
    }
  }
  if (problem.empty()) {
    while (e < expected.size() && (expected[e].flags & msg_optional))
      ++e;
    if (e < expected.size()) {
      problem = "missing entry " + std::to_string(e) + " (" + describe(expected[e]) + ")";
    } else if (g < got.size()) {
      problem = "unexpected entry " + std::to_string(g) + " (" + describe(got[g]) + ")";
    }
  }
  if (problem.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << problem << "\nexpected:\n"
                                       << list(expected) << "seen:\n"
                                       << list(got);
}

std::string message_name(UINT message) {
  static const struct {
    UINT message;
    const char* name;
  } names[] = {
      {WM_CREATE, "WM_CREATE"},
      {WM_DESTROY, "WM_DESTROY"},
      {WM_SIZE, "WM_SIZE"},
      {WM_SETFOCUS, "WM_SETFOCUS"},
      {WM_KILLFOCUS, "WM_KILLFOCUS"},
      {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"},
      {WM_KEYDOWN, "WM_KEYDOWN"},
      {WM_HSCROLL, "WM_HSCROLL"},
      {WM_VSCROLL, "WM_VSCROLL"},
      {WM_MOUSEMOVE, "WM_MOUSEMOVE"},
      {WM_LBUTTONDOWN, "WM_LBUTTONDOWN"},
      {WM_LBUTTONUP, "WM_LBUTTONUP"},
      {WM_RBUTTONUP, "WM_RBUTTONUP"},
      {WM_MBUTTONDOWN, "WM_MBUTTONDOWN"},
      {WM_MOUSEWHEEL, "WM_MOUSEWHEEL"},
      {WM_CAPTURECHANGED, "WM_CAPTURECHANGED"},
      {WM_CONTEXTMENU, "WM_CONTEXTMENU"},
      {TBM_GETPOS, "TBM_GETPOS"},
      {TBM_GETRANGEMAX, "TBM_GETRANGEMAX"},
      {TBM_SETPOS, "TBM_SETPOS"},
      {TBM_SETRANGE, "TBM_SETRANGE"},
      {TBM_GETCHANNELRECT, "TBM_GETCHANNELRECT"},
      {TBM_GETTHUMBRECT, "TBM_GETTHUMBRECT"},
      {TTM_ADDTOOLA, "TTM_ADDTOOLA"},
      {TTM_ADDTOOLW, "TTM_ADDTOOLW"},
      {TTM_UPDATETIPTEXTA, "TTM_UPDATETIPTEXTA"},
      {TTM_UPDATETIPTEXTW, "TTM_UPDATETIPTEXTW"},
      {TTM_TRACKACTIVATE, "TTM_TRACKACTIVATE"},
      {TTM_TRACKPOSITION, "TTM_TRACKPOSITION"},
  };
  for (const auto& known : names) {
    if (known.message == message) return known.name;
  }
  return hex(message);
}

WindowSpy::WindowSpy(HWND window, std::vector<UINT> watched)
    : window_(window), watched_(std::move(watched)) {
  SetWindowSubclass(window_, &WindowSpy::procedure, 1, reinterpret_cast<DWORD_PTR>(this));
}

WindowSpy::~WindowSpy() {
  if (IsWindow(window_)) RemoveWindowSubclass(window_, &WindowSpy::procedure, 1);
}

bool WindowSpy::watches(UINT message) const {
  return watched_.empty() || std::find(watched_.begin(), watched_.end(), message) != watched_.end();
}

LRESULT CALLBACK WindowSpy::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                      UINT_PTR, DWORD_PTR self) {
  auto* spy = reinterpret_cast<WindowSpy*>(self);
  if (spy->watches(message)) spy->seen_.add(message, wparam, lparam);
  if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &WindowSpy::procedure, 1);
  return DefSubclassProc(window, message, wparam, lparam);
}

void flush_events() {
  // A few rounds with short waits: some messages are posted by the handling
  // of others.
  for (int round = 0; round < 3; ++round) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
}

}  // namespace testing_support
