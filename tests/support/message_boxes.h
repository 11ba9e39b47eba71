// Records what utf8api's uMessageBox would have shown, so no test blocks on a modal box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "utf8api_testing.h"

namespace testing_support {

struct MessageBoxCall {
  HWND owner;
  std::string text;
  std::string caption;
  UINT flags;
};

class MessageBoxRecorder {
 public:
  MessageBoxRecorder() { utf8api_set_message_box_hook(&record, this); }
  ~MessageBoxRecorder() { utf8api_set_message_box_hook(nullptr, nullptr); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  std::vector<MessageBoxCall> calls;

 private:
  static int __cdecl record(void* context, HWND owner, const char* text, const char* caption,
                            UINT flags) {
    static_cast<MessageBoxRecorder*>(context)->calls.push_back(
        {owner, text ? text : "", caption ? caption : "", flags});
    return IDOK;
  }
};

}  // namespace testing_support
