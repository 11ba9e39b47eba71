// UTF-8 and UTF-16 coding of single characters and of whole NUL-terminated texts.
#pragma once

#include <cstdint>

#include "text/span.h"

namespace dwx {

struct Decoded {
  uint32_t code_point;  // 0 on failure
  uint32_t taken;       // units consumed; 0 means failure (or a NUL)
};

// Decodes one character from at most max_bytes bytes (more than 6 counts as 6).
// Accepts the historical 5- and 6-byte forms. An overlong form, a value
// written with more bytes than it needs, fails like any other invalid
// sequence: taken as a shorter one it could smuggle a '/' or a NUL past a
// check made on the bytes.
Decoded decode_utf8(const uint8_t* bytes, uint32_t max_bytes);
// Writes 1 to 6 bytes (no NUL); returns how many, or 0 above 0x7FFFFFFF.
uint32_t encode_utf8(uint32_t code_point, uint8_t* out);

// One character from at most max_units units: a pair yields its code point
// from 2 units, any other unit (a lone surrogate included) itself from 1, a 0
// unit nothing. A high surrogate that is the last unit allowed fails, as a
// UTF-8 sequence cut by its budget does: the unit after it, which would say
// whether it is half of a pair, may not be read.
Decoded decode_utf16(const char16_t* units, uint32_t max_units);
// Writes 1 or 2 units; returns how many, or 0 for 0 and above 0x10FFFF.
uint32_t encode_utf16(uint32_t code_point, char16_t* out);

// Whole-text conversions. Each stops at the first character that fails to
// decode or encode, or that would leave no room for the NUL, writes a NUL of
// its output width after what it converted (when the destination has room
// for anything at all), and returns the number of units written before that
// NUL. A destination of 2 * (max_bytes + 1) bytes of UTF-16 for
// utf8_to_utf16, or 3 * max_units + 1 bytes for utf16_to_utf8, holds any text.
uint32_t utf8_to_utf16(const char* source, Span<char16_t> destination, uint32_t max_bytes);
uint32_t utf16_to_utf8(const char16_t* source, Span<char> destination, uint32_t max_units);

}  // namespace dwx
