// printf-style formatting of the component's messages, through utf8api.
#pragma once

#include "text/utf8_string.h"

namespace dwx {

// The formats use %u, %d, %02d, %s (UTF-8) and %%.
Utf8String format_text(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace dwx
