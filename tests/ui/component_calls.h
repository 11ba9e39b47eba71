// What the loaded component sends, passes on and destroys, seen from its own
// import table: every uSendMessage, every uCallWindowProc (a message passed
// on to the trackbar's own procedure) and every DestroyWindow it calls, and
// the SendNotifyMessageW calls it makes on the test's thread.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "support/import_table.h"
#include "support/message_sequence.h"

class ComponentCalls {
 public:
  struct Call {
    HWND window;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  };

  // One at a time: the replacements find it through a global.
  explicit ComponentCalls(HMODULE component);
  ~ComponentCalls();

  bool applied() const;
  void clear();

  // The sends to one window, in order.
  testing_support::MessageSequence sent_to(HWND window) const;
  // The messages passed on to that window's previous procedure.
  testing_support::MessageSequence passed_on(HWND window) const;
  // Whether anything at all was sent or notified to, or destroyed as, that window.
  bool touched(HWND window) const;

  std::vector<Call> sends;
  std::vector<Call> passes;
  std::vector<HWND> destroyed;
  // A broadcast reaches a window that is not the broadcasting thread's, one
  // destroyed among them, this way. Other threads' calls are not recorded:
  // nothing here is locked.
  std::vector<Call> notified;

  // Consulted before each send: answering true replaces the send and its result.
  std::function<bool(const Call&, LRESULT*)> answer;

 private:
  friend struct ComponentCallReplacements;
  std::vector<std::unique_ptr<testing_support::ImportPatch>> patches_;
};
