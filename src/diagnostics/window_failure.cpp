// The console line for a failed window call.
#include "diagnostics/window_failure.h"

#include <windows.h>

#include "diagnostics/console.h"
#include "text/format.h"
#include "text/system_error.h"

namespace dwx {

void report_window_failure(const char* format) {
  const DWORD code = GetLastError();
  // No module: the text comes from the system's own message table, and is
  // empty when it has none, so the line then ends after "- ".
  Utf8String reason = system_error_text(code, nullptr);
  console_output(NoticeLevel::error, format_text(format, reason.c_str()).c_str());
}

}  // namespace dwx
