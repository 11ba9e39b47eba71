// The messages one operation of the component comes down to: recorded
// through the component's import table while it does the operation, then
// sent again by the bench, with nothing in between, to windows of the same
// kind. Replaying what was recorded keeps the baseline from drifting away
// from what the component really sends.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "support/import_table.h"

namespace bench {

struct RecordedCall {
  enum class How { send, notify, post };
  // What lParam carries: a plain value, the address of a RECT the window
  // fills, or a tool description (copied with its text).
  enum class Argument { value, rect_out, tool_info };
  How how = How::send;
  bool on_ui_thread = true;
  // The bench's own message that starts the operation (a mouse move, a
  // mixer notification) rather than one the component sent.
  bool entry = false;
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  Argument argument = Argument::value;
  TTTOOLINFOW tool = {};
  std::wstring text;
};
using Operation = std::vector<RecordedCall>;

// While it lives, every uSendMessage, SendNotifyMessageW and PostMessageW
// the component makes, on any thread, is recorded, and so is every entry
// message the bench sends through send_entry(). One at a time. The
// component's other ways to send (uSendMessageText, uSendDlgItemMessage,
// SendMessageA/W) serve only its preferences page.
class MessageRecorder {
 public:
  explicit MessageRecorder(HMODULE component);
  ~MessageRecorder();

  bool applied() const;
  // The calls since the last take, in the order they were made.
  Operation take();
  // The first call whose argument the replay could not repeat, or empty.
  std::string error() const;

  void add(RecordedCall::How how, bool entry, HWND window, UINT message, WPARAM wparam,
           LPARAM lparam);

 private:
  DWORD ui_thread_;
  mutable std::mutex mutex_;
  Operation calls_;
  std::string error_;
  std::unique_ptr<testing_support::ImportPatch> patches_[3];
};

// Sends the bench's message that starts an operation, recorded as its
// entry while a recorder lives.
LRESULT send_entry(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Twins, made on this thread (the UI thread), of every window the recorded
// operations reached, and the recorded calls made again to them:
//   - a Wine trackbar or tooltip gets one of its own class, style, size
//     and place (in `twin_parent`, as the original sits in its top-level
//     window), a trackbar at the same range and position, a tooltip
//     tracking one tool under the same point, as the component's shows;
//   - a quiet trackbar (do-nothing windows) gets a quiet trackbar;
//   - any other window, the component's own among them, gets a plain quiet
//     window: a message to it costs the message and nothing else;
//   - an entry message always goes to a plain quiet window: on the
//     component's side the trackbar's subclass or the component's own
//     window takes it, and no control ever handles it.
class Replay {
 public:
  Replay(std::vector<Operation> operations, HWND twin_parent);
  ~Replay();
  Replay(const Replay&) = delete;
  Replay& operator=(const Replay&) = delete;

  // Makes the calls of operation n (counted round the operations recorded)
  // that were made on the UI thread, or those made on another.
  void play(size_t n, bool ui_thread);
  bool has_calls(bool ui_thread) const;
  // What one operation sends, for the commentary: "12 sends, 8 notifications".
  std::string summary() const;

 private:
  struct Call {
    RecordedCall::How how;
    bool on_ui_thread;
    HWND twin;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };
  HWND twin_for(const RecordedCall& call, HWND twin_parent);

  std::vector<Operation> recorded_;  // kept: the tool descriptions point into it
  std::vector<std::vector<Call>> operations_;
  std::map<std::pair<HWND, bool>, HWND> twins_;  // by original and whether for an entry
  RECT scratch_ = {};
};

}  // namespace bench
