// The component's one route to the host console.
#pragma once

#include <cstdint>

namespace dwx {

// The console takes the level as a number: these are its numbers.
enum class NoticeLevel : int32_t { info = 1, warning = 2, error = 3 };

// Prints one line now, with the module name as its source. Without a console
// service nothing is printed and nothing is reported. The console reference
// is looked up and released for every line.
void console_output(NoticeLevel level, const char* text);

}  // namespace dwx
