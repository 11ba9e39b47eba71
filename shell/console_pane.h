// The console pane: every line the component prints, and the shell's own.
#pragma once

#include <windows.h>

#include <deque>
#include <mutex>
#include <string>

#include "standin_host/host.h"

namespace shell {

class ConsolePane {
 public:
  // A list box in `parent`; `arrived` is posted to `parent` when lines
  // from another thread wait for take_lines().
  void create(HWND parent, HFONT font, UINT arrived);
  HWND window() const { return list_; }

  // Takes the component's console lines, from any thread.
  void listen(standin::Host& host);
  // A line from the shell itself, on the window's thread.
  void say(int level, const std::string& text);
  // Shows the lines that arrived.
  void take_lines();
  // Lines also go to standard output (for scripted runs).
  bool echo = false;

 private:
  void append(const std::string& line);

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  UINT arrived_ = 0;
  std::mutex pending_mutex_;
  std::deque<std::string> pending_;
};

}  // namespace shell
