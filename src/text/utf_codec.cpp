// UTF-8 and UTF-16 coding, character by character and for whole texts.
#include "text/utf_codec.h"

namespace dwx {

namespace {

constexpr Decoded failed{0, 0};
constexpr uint32_t max_utf8_length = 6;

// The sequence length a lead byte announces, or 0 for a continuation byte,
// 0xFE and 0xFF.
uint32_t sequence_length(uint8_t lead) {
  struct Form {
    uint8_t mask, marker;
  };
  static constexpr Form forms[] = {
      {0xE0, 0xC0}, {0xF0, 0xE0}, {0xF8, 0xF0}, {0xFC, 0xF8}, {0xFE, 0xFC}};
  for (uint32_t i = 0; i < sizeof forms / sizeof forms[0]; ++i) {
    if ((lead & forms[i].mask) == forms[i].marker) return i + 2;
  }
  return 0;
}

}  // namespace

Decoded decode_utf8(const uint8_t* bytes, uint32_t max_bytes) {
  if (max_bytes == 0) return failed;
  if (max_bytes > max_utf8_length) max_bytes = max_utf8_length;
  const uint8_t lead = bytes[0];
  if (lead < 0x80) return Decoded{lead, lead != 0 ? 1u : 0u};

  const uint32_t length = sequence_length(lead);
  if (length == 0 || length > max_bytes) return failed;
  // Stop at the first NUL rather than look at all the bytes the lead byte
  // announces: a sequence cut short by the end of the text must not make us
  // read past its terminator.
  for (uint32_t i = 1; i < length; ++i) {
    if (bytes[i] == 0) return failed;
  }

  uint32_t value = lead & (0xFFu >> (length + 1));
  for (uint32_t i = 1; i < length; ++i) {
    const uint8_t byte = bytes[i];
    if ((byte & 0xC0) != 0x80) return failed;
    value = value * 64 + (byte & 0x3F);
  }
  // The smallest value of each length: anything below it is overlong (C0 80
  // for a NUL, E0 80 AF for '/').
  static constexpr uint32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
  if (value < shortest[length]) return failed;
  return Decoded{value, length};
}

uint32_t encode_utf8(uint32_t code_point, uint8_t* out) {
  if (code_point < 0x80) {
    out[0] = static_cast<uint8_t>(code_point);
    return 1;
  }
  uint32_t length;
  uint8_t marker;
  if (code_point < 0x800) {
    length = 2, marker = 0xC0;
  } else if (code_point < 0x10000) {
    length = 3, marker = 0xE0;
  } else if (code_point < 0x200000) {
    length = 4, marker = 0xF0;
  } else if (code_point < 0x4000000) {
    length = 5, marker = 0xF8;
  } else if (code_point <= 0x7FFFFFFF) {
    length = 6, marker = 0xFC;
  } else {
    return 0;
  }
  for (uint32_t i = length - 1; i > 0; --i) {
    out[i] = static_cast<uint8_t>(0x80 | (code_point & 0x3F));
    code_point >>= 6;
  }
  out[0] = static_cast<uint8_t>(marker | code_point);
  return length;
}

Decoded decode_utf16(const char16_t* units, uint32_t max_units) {
  if (max_units == 0) return failed;
  const uint32_t first = units[0];
  if (first == 0) return failed;
  if (first >= 0xD800 && first <= 0xDBFF) {
    if (max_units == 1) return failed;
    const uint32_t second = units[1];
    if (second >= 0xDC00 && second <= 0xDFFF) {
      return Decoded{((first & 0x3FF) << 10 | (second & 0x3FF)) + 0x10000, 2};
    }
  }
  return Decoded{first, 1};
}

uint32_t encode_utf16(uint32_t code_point, char16_t* out) {
  if (code_point == 0 || code_point > 0x10FFFF) return 0;
  if (code_point < 0x10000) {
    out[0] = static_cast<char16_t>(code_point);
    return 1;
  }
  out[0] = static_cast<char16_t>(0xD800 + ((code_point - 0x10000) >> 10));
  out[1] = static_cast<char16_t>(0xDC00 + (code_point & 0x3FF));
  return 2;
}

namespace {

// One loop for both directions: a character is encoded aside first, and
// copied only when it leaves room for the NUL after it.
template <class In, class Out, class Decode, class Encode>
uint32_t convert(const In* source, Span<Out> destination, uint32_t budget, Decode decode,
                 Encode encode) {
  if (destination.capacity == 0) return 0;
  uint32_t written = 0;
  if (source != nullptr) {
    const In* next = source;
    while (budget != 0 && *next != 0) {
      const Decoded character = decode(next, budget);
      if (character.taken == 0) break;
      Out encoded[max_utf8_length];
      const uint32_t units = encode(character.code_point, encoded);
      if (units == 0 || units >= destination.capacity - written) break;
      for (uint32_t i = 0; i < units; ++i)
        destination.data[written + i] = encoded[i];
      written += units;
      budget -= character.taken;
      next += character.taken;
    }
  }
  destination.data[written] = 0;
  return written;
}

}  // namespace

uint32_t utf8_to_utf16(const char* source, Span<char16_t> destination, uint32_t max_bytes) {
  return convert(
      source, destination, max_bytes,
      [](const char* at, uint32_t budget) {
        return decode_utf8(reinterpret_cast<const uint8_t*>(at), budget);
      },
      encode_utf16);
}

uint32_t utf16_to_utf8(const char16_t* source, Span<char> destination, uint32_t max_units) {
  return convert(source, destination, max_units, decode_utf16, [](uint32_t code_point, char* out) {
    return encode_utf8(code_point, reinterpret_cast<uint8_t*>(out));
  });
}

}  // namespace dwx
