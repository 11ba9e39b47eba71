// Window messages expected and seen, compared in order in the manner of the
// Windows conformance tests: expectations are static tables of
// {message, flags, wParam, lParam}; recorders log what really arrived; one
// helper compares the two and prints both lists when they differ.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace testing_support {

// Which fields of an expected entry are compared; the message always is.
enum MessageFlags : unsigned {
  msg_only = 0,
  msg_wparam = 0x1,
  msg_lparam = 0x2,
  msg_params = msg_wparam | msg_lparam,
  // May be missing: a platform difference, named where the table uses it.
  msg_optional = 0x4,
};

struct MessageEntry {
  UINT message;
  unsigned flags;
  WPARAM wparam;
  LPARAM lparam;
};

// What arrived, in order.
class MessageSequence {
 public:
  void add(UINT message, WPARAM wparam, LPARAM lparam) {
    entries_.push_back({message, msg_params, wparam, lparam});
  }
  void clear() { entries_.clear(); }
  bool empty() const { return entries_.empty(); }
  size_t size() const { return entries_.size(); }
  const MessageEntry& operator[](size_t i) const { return entries_[i]; }
  const std::vector<MessageEntry>& entries() const { return entries_; }
  // How many of the entries are this message.
  size_t count(UINT message) const;

 private:
  std::vector<MessageEntry> entries_;
};

// Passes when `seen` holds the expected entries in order, optional ones
// aside, and nothing else.
::testing::AssertionResult sequence_is(const MessageSequence& seen,
                                       const std::vector<MessageEntry>& expected);
template <size_t N>
::testing::AssertionResult sequence_is(const MessageSequence& seen,
                                       const MessageEntry (&expected)[N]) {
  return sequence_is(seen, std::vector<MessageEntry>(expected, expected + N));
}
// "Sends nothing".
inline ::testing::AssertionResult sequence_is_empty(const MessageSequence& seen) {
  return sequence_is(seen, std::vector<MessageEntry>{});
}

// The name of a window, trackbar or tooltip message, or its number.
std::string message_name(UINT message);

// Records the messages a window receives, all of them or only those
// watched, and passes each on to the window's own procedure. The window
// must outlive the spy or be destroyed while it watches.
class WindowSpy {
 public:
  explicit WindowSpy(HWND window, std::vector<UINT> watched = {});
  ~WindowSpy();
  WindowSpy(const WindowSpy&) = delete;
  WindowSpy& operator=(const WindowSpy&) = delete;

  MessageSequence& seen() { return seen_; }
  void clear() { seen_.clear(); }

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam,
                                    UINT_PTR id, DWORD_PTR self);
  bool watches(UINT message) const;

  HWND window_;
  std::vector<UINT> watched_;
  MessageSequence seen_;
};

// Lets posted and pending messages arrive before a check.
void flush_events();

}  // namespace testing_support
