// The component's one route to the host console.
#pragma once

#include <cstdint>

namespace dwx {

enum NoticeLevel : int32_t { notice_info = 1, notice_warning = 2, notice_error = 3 };

// Prints one line now, with the module name as its source. Without a console
// service nothing is printed and nothing is reported. The console reference
// is looked up and released for every line.
void console_output(int32_t level, const char* text);

}  // namespace dwx
