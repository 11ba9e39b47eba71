// Fuzzes the UTF-8 decoder and encoder, and UTF-8 to UTF-16 and back.
//
// The input is a UTF-8 text without a terminator. The decoder is compared at
// every offset with a reference written from the standard's table of
// well-formed byte sequences. It must agree wherever the table accepts a
// sequence, and beyond the table it may accept only the forms the component
// keeps on purpose: the 3-byte forms of surrogates (lone surrogates from
// UTF-16 texts must survive a trip through UTF-8), 4-byte values above
// 0x10FFFF, and the historical 5- and 6-byte forms. Never an overlong form,
// never a sequence cut short.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "text/utf_codec.h"

namespace {

using dwx::Decoded;

bool continuation(uint8_t byte) { return (byte & 0xC0) == 0x80; }
bool within(uint8_t byte, uint8_t low, uint8_t high) { return byte >= low && byte <= high; }

// The value a sequence of `length` bytes spells: the lead byte's payload
// bits, then six bits from each continuation byte.
uint32_t assemble(const uint8_t* bytes, uint32_t length) {
  uint32_t value = bytes[0] & (length == 1 ? 0x7F : 0x7F >> length);
  for (uint32_t i = 1; i < length; ++i)
    value = value << 6 | (bytes[i] & 0x3F);
  return value;
}

// One row of a byte-sequence table: the lead byte's range and the second
// byte's range; every later byte is a continuation byte.
struct Row {
  uint8_t lead_low, lead_high;
  uint32_t length;
  uint8_t second_low, second_high;
};

// The standard's well-formed UTF-8 byte sequences.
constexpr Row well_formed[] = {
    {0x00, 0x7F, 1, 0, 0},       {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF}, {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF}, {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};
// The forms the component accepts beyond them, each in its shortest form only.
constexpr Row kept_on_purpose[] = {
    {0xED, 0xED, 3, 0xA0, 0xBF},  // surrogates
    {0xF4, 0xF4, 4, 0x90, 0xBF},  // above 0x10FFFF
    {0xF5, 0xF7, 4, 0x80, 0xBF}, {0xF8, 0xF8, 5, 0x88, 0xBF}, {0xF9, 0xFB, 5, 0x80, 0xBF},
    {0xFC, 0xFC, 6, 0x84, 0xBF}, {0xFD, 0xFD, 6, 0x80, 0xBF},
};

// The length of the sequence at `bytes` that a table accepts within
// `available` bytes, or 0.
template <size_t N>
uint32_t match(const Row (&table)[N], const uint8_t* bytes, size_t available) {
  if (available == 0) return 0;
  for (const Row& row : table) {
    if (!within(bytes[0], row.lead_low, row.lead_high)) continue;
    if (row.length > available) return 0;
    if (row.length > 1 && !within(bytes[1], row.second_low, row.second_high)) return 0;
    for (uint32_t i = 2; i < row.length; ++i) {
      if (!continuation(bytes[i])) return 0;
    }
    return row.length;
  }
  return 0;
}

// The decoder's answer for the bytes at `bytes`, `available` of them: the
// table's where the table accepts (but a NUL is the end of a text, not a
// character), a kept form's where one matches, a failure everywhere else.
Decoded expected_decoding(const uint8_t* bytes, size_t available) {
  uint32_t length = match(well_formed, bytes, available);
  if (length == 0) length = match(kept_on_purpose, bytes, available);
  if (length == 0 || bytes[0] == 0) return Decoded{0, 0};
  return Decoded{assemble(bytes, length), length};
}

void check_decoding(const uint8_t* bytes, size_t available) {
  const Decoded expected = expected_decoding(bytes, available);
  // The budget given is never more than what is there: a read past it is a
  // read past the heap block, which the address sanitizer reports.
  const uint32_t budget = static_cast<uint32_t>(available);
  const Decoded decoded = dwx::decode_utf8(bytes, budget);
  FUZZ_CHECK(decoded.taken == expected.taken);
  FUZZ_CHECK(decoded.code_point == expected.code_point);
  // A budget one byte short of the character fails, though the byte is there.
  if (decoded.taken != 0) {
    const Decoded cut = dwx::decode_utf8(bytes, decoded.taken - 1);
    FUZZ_CHECK(cut.taken == 0 && cut.code_point == 0);
  }
  // Each accepted sequence is the one way of writing its value.
  if (decoded.taken != 0) {
    uint8_t encoded[6];
    const uint32_t length = dwx::encode_utf8(decoded.code_point, encoded);
    FUZZ_CHECK(length == decoded.taken && memcmp(encoded, bytes, length) == 0);
  }
}

// Any 32-bit value: encoding fails exactly above 0x7FFFFFFF, and what it
// writes is a sequence the decoder gives back, one the table or a kept form
// accepts.
void check_encoding(uint32_t value) {
  uint8_t encoded[7];
  memset(encoded, 0xEE, sizeof encoded);
  const uint32_t length = dwx::encode_utf8(value, encoded);
  FUZZ_CHECK((length == 0) == (value > 0x7FFFFFFF));
  FUZZ_CHECK(encoded[length] == 0xEE);
  if (length == 0 || value == 0) return;  // 0 encodes as the NUL that ends a text
  // At the end of a stack array: a read past the sequence is a read past the
  // array, which the address sanitizer reports as surely as on the heap.
  uint8_t at_end[6];
  uint8_t* const sequence = at_end + sizeof at_end - length;
  memcpy(sequence, encoded, length);
  const Decoded decoded = dwx::decode_utf8(sequence, length);
  FUZZ_CHECK(decoded.code_point == value && decoded.taken == length);
  const Decoded expected = expected_decoding(sequence, length);
  FUZZ_CHECK(expected.code_point == value && expected.taken == length);
}

// The longest prefix of the text that the standard's table reads as whole
// characters, none of them NUL.
size_t well_formed_prefix(const uint8_t* text, size_t size) {
  size_t at = 0;
  while (at < size && text[at] != 0) {
    const uint32_t length = match(well_formed, text + at, size - at);
    if (length == 0) break;
    at += length;
  }
  return at;
}

// UTF-16 as the format writes a value: below 0x10000 one unit (a
// surrogate's value included, as the component keeps lone ones), up to
// 0x10FFFF a pair carrying the value less 0x10000, ten bits in each, and
// nothing above. Written here rather than taken from the component, so that
// the text check below does not share a fault with the code it checks.
uint32_t reference_utf16(uint32_t value, char16_t* units) {
  if (value < 0x10000) {
    units[0] = static_cast<char16_t>(value);
    return 1;
  }
  if (value > 0x10FFFF) return 0;
  units[0] = static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10));
  units[1] = static_cast<char16_t>(0xDC00 + (value & 0x3FF));
  return 2;
}

// The whole text to UTF-16, into exactly the room the converter documents,
// then back. The UTF-16 is what the references above give character by
// character, and coming back reproduces at least the text's well-formed
// prefix.
void check_text(const uint8_t* text, size_t size) {
  const uint32_t capacity = static_cast<uint32_t>(size) + 1;
  const std::unique_ptr<char16_t[]> wide(new char16_t[capacity]);
  const uint32_t units = dwx::utf8_to_utf16(reinterpret_cast<const char*>(text),
                                            {wide.get(), capacity}, static_cast<uint32_t>(size));
  FUZZ_CHECK(units < capacity && wide[units] == 0);

  std::u16string expected;
  std::vector<size_t> ends;  // where each character's units end
  for (size_t at = 0; at < size;) {
    const Decoded character = expected_decoding(text + at, size - at);
    char16_t pair[2];
    const uint32_t length = character.taken != 0 ? reference_utf16(character.code_point, pair) : 0;
    if (length == 0) break;
    expected.append(pair, length);
    ends.push_back(expected.size());
    at += character.taken;
  }
  FUZZ_CHECK(expected == std::u16string(wide.get(), units));

  // A destination too small for the text takes the whole characters that
  // leave room for its NUL, and not a unit more.
  if (size != 0) {
    const uint32_t small = text[size - 1] % (units + 1);
    size_t fits = 0;
    for (size_t i = 0; i < ends.size() && ends[i] < small; ++i)
      fits = ends[i];
    const std::unique_ptr<char16_t[]> short_room(new char16_t[small]);
    const uint32_t written =
        dwx::utf8_to_utf16(reinterpret_cast<const char*>(text), {short_room.get(), small},
                           static_cast<uint32_t>(size));
    FUZZ_CHECK(written == fits);
    FUZZ_CHECK(small == 0 || (short_room[written] == 0 &&
                              memcmp(short_room.get(), expected.data(), 2 * written) == 0));
  }

  const std::unique_ptr<char[]> narrow(new char[3 * size_t{units} + 1]);
  const uint32_t bytes = dwx::utf16_to_utf8(wide.get(), {narrow.get(), 3 * units + 1}, units);
  FUZZ_CHECK(narrow[bytes] == 0);
  const size_t prefix = well_formed_prefix(text, size);
  FUZZ_CHECK(bytes >= prefix && memcmp(narrow.get(), text, prefix) == 0);
  // A text well-formed to its end comes back whole, and nothing with it.
  if (prefix == size || text[prefix] == 0) FUZZ_CHECK(bytes == prefix);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFF) return 0;
  const std::unique_ptr<uint8_t[]> text = fuzz::exact_copy(data, size);
  for (size_t at = 0; at < size; ++at) {
    check_decoding(text.get() + at, size - at);
  }
  for (size_t at = 0; at + 4 <= size; ++at) {
    uint32_t value;
    memcpy(&value, text.get() + at, 4);
    check_encoding(value);
  }
  check_text(text.get(), size);
  return 0;
}
