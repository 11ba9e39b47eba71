// level_text: decibels or per cent, whichever the selected device speaks.
#include "ui/level_text.h"

#include "frame/settings.h"

namespace dwx {

namespace {

// Written by hand rather than by the C library's formatting: that pulls in
// its whole floating-point printer, which would be most of the DLL's code.
char* put_decimal(char* out, uint32_t value) {
  char digits[10];
  int count = 0;
  do {
    digits[count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (count > 0)
    *out++ = digits[--count];
  return out;
}

// Unsigned, so that the magnitude of the lowest value exists too.
uint32_t magnitude_of(int32_t value) {
  return value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
}

// "<sign><whole>.<fraction><unit>", the fraction in `fraction_digits`
// digits; the sign is written apart, as -0.44 has no negative whole part to
// carry it.
void put_fixed(char* out, int32_t value, uint32_t scale, int fraction_digits, const char* unit) {
  const uint32_t magnitude = magnitude_of(value);
  if (value < 0) *out++ = '-';
  out = put_decimal(out, magnitude / scale);
  *out++ = '.';
  uint32_t fraction = magnitude % scale;
  for (int digit = fraction_digits - 1; digit >= 0; --digit) {
    out[digit] = static_cast<char>('0' + fraction % 10);
    fraction /= 10;
  }
  out += fraction_digits;
  while (*unit != '\0')
    *out++ = *unit++;
  *out = '\0';
}

}  // namespace

LevelText level_text(VolumeLevel level) {
  LevelText text;
  if (mixer_id.value() != 0) {
    put_fixed(text.text_, level, 10, 1, "%");
  } else {
    put_fixed(text.text_, level_to_hdb(level), 100, 2, " dB");
  }
  return text;
}

}  // namespace dwx
