// format_text: printf-style formatting into a Utf8String, done by utf8api.
#include "text/format.h"

#include <cstdarg>

#include "host/utf8api.h"

namespace dwx {

Utf8String format_text(const char* format, ...) {
  // Grow-only: formatted messages are built once and rarely shortened.
  Utf8String text(GrowthMode::grow_only);
  va_list args;
  va_start(args, format);
  uPrintfV(&text, format, args);
  va_end(args);
  return text;
}

}  // namespace dwx
