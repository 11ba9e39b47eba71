// The system's own text for an error code.
#pragma once

#include <windows.h>

#include <cstdint>

#include "text/utf8_string.h"

namespace dwx {

// From the message table of `module`, or the system's own when it is null.
// The text is as the system gives it, line break included; empty when the
// system has none.
Utf8String system_error_text(uint32_t code, HMODULE module);
// The text of a winmm result code (MMRESULT), from winmm's own table.
Utf8String winmm_error_text(uint32_t code);

}  // namespace dwx
