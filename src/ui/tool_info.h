// Handing a UTF-8 tool description to a Windows tooltip control.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dwx {

// The layout of the system's TOOLINFO (44 bytes on 32-bit), with text in UTF-8: a string,
// a resource identifier below 0x10000, null, or the text-callback marker (-1).
struct ToolInfo {
  uint32_t size;
  uint32_t flags;
  HWND owner;
  UINT_PTR id;
  RECT rect;
  HINSTANCE instance;
  const char* text;
  LPARAM lparam;
};
static_assert(sizeof(ToolInfo) == 2 * sizeof(uint32_t) + sizeof(RECT) + 5 * sizeof(void*),
              "the system's TOOLINFO");

// Adds the tool (update false) or changes its text (update true), in the wide
// or ANSI form as utf8api's IsUnicode() says. Returns the message's result.
LRESULT send_tool_info(HWND tooltip, const ToolInfo& info, bool update);

}  // namespace dwx
