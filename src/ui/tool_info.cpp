// send_tool_info: a UTF-8 tool description handed to a tooltip in the form the system takes.
#include "ui/tool_info.h"

#include "host/utf8api.h"
#include "text/ansi.h"

namespace dwx {

namespace {

// The tooltip messages, in their wide and ANSI forms.
constexpr UINT add_tool_wide = 0x432;     // TTM_ADDTOOLW
constexpr UINT update_text_wide = 0x439;  // TTM_UPDATETIPTEXTW
constexpr UINT add_tool_ansi = 0x404;     // TTM_ADDTOOLA
constexpr UINT update_text_ansi = 0x40C;  // TTM_UPDATETIPTEXTA

// The description the system reads: the text field points at text of the
// message's width. Only the layout of its 44 bytes matters.
LRESULT send(HWND tooltip, UINT message, const ToolInfo& info, const void* text) {
  ToolInfo description = info;
  description.size = sizeof(ToolInfo);
  description.text = static_cast<const char*>(text);
  return uSendMessage(tooltip, message, 0, reinterpret_cast<LPARAM>(&description));
}

// Null, resource identifiers (MAKEINTRESOURCE) and the text-callback marker
// (LPSTR_TEXTCALLBACK, all bits set) are passed on as they are: reading them
// as text would fault.
bool is_text(const char* text) {
  const UINT_PTR value = reinterpret_cast<UINT_PTR>(text);
  return value >= 0x10000 && value != ~UINT_PTR{0};
}

}  // namespace

LRESULT send_tool_info(HWND tooltip, const ToolInfo& info, bool update) {
  if (IsUnicode()) {
    const UINT message = update ? update_text_wide : add_tool_wide;
    if (!is_text(info.text)) return send(tooltip, message, info, info.text);
    const WideCopy text(info.text);
    if (text.get() == nullptr) return 0;  // out of memory: no tool rather than a wrong one
    return send(tooltip, message, info, text.get());
  }
  const UINT message = update ? update_text_ansi : add_tool_ansi;
  if (!is_text(info.text)) return send(tooltip, message, info, info.text);
  const AnsiCopy text(info.text);
  if (text.get() == nullptr) return 0;
  return send(tooltip, message, info, text.get());
}

}  // namespace dwx
