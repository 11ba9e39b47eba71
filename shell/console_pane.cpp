// The console pane.
#include "shell/console_pane.h"

#include <cstdio>

#include "shell/text.h"

namespace shell {

namespace {

const char* level_name(int level) {
  switch (level) {
    case 1:
      return "info";
    case 2:
      return "warning";
    case 3:
      return "error";
    default:
      return "?";
  }
}

}  // namespace

void ConsolePane::create(HWND parent, HFONT font, UINT arrived) {
  parent_ = parent;
  arrived_ = arrived;
  list_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                          WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 0,
                          0, 0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void ConsolePane::listen(standin::Host& host) {
  host.console_listener = [this](const standin::ConsoleLine& line) {
    {
      std::lock_guard<std::mutex> lock(pending_mutex_);
      pending_.push_back(std::string(level_name(line.level)) + "  " +
                         (line.source.empty() ? "(no source)" : line.source) + "  " + line.text);
    }
    PostMessageW(parent_, arrived_, 0, 0);
  };
}

void ConsolePane::say(int level, const std::string& text) {
  append(std::string(level_name(level)) + "  shell  " + text);
}

void ConsolePane::take_lines() {
  std::deque<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(pending_mutex_);
    lines.swap(pending_);
  }
  for (const std::string& line : lines)
    append(line);
}

void ConsolePane::append(const std::string& line) {
  if (echo) printf("console: %s\n", line.c_str());
  if (list_ == nullptr || !IsWindow(list_)) return;
  const LRESULT index =
      SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(widen(line).c_str()));
  SendMessageW(list_, LB_SETTOPINDEX, index, 0);
}

}  // namespace shell
