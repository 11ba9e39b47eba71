// Reporting a window or window-class call that failed.
#pragma once

namespace dwx {

// Prints `format` on the host console at the error level, its one "%s"
// filled with the system's text for GetLastError(). Call it right after the
// failed call, before anything else can change the last error.
void report_window_failure(const char* format);

}  // namespace dwx
