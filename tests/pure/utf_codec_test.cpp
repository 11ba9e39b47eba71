// UTF-8 and UTF-16 coding: single characters, their edge forms, and whole texts.
#include "text/utf_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/span_of.h"

namespace dwx {
namespace {

using Bytes = std::vector<uint8_t>;

std::string hex(const Bytes& bytes) {
  std::string out;
  char part[4];
  for (uint8_t byte : bytes) {
    snprintf(part, sizeof part, "%02X ", byte);
    out += part;
  }
  return out;
}

TEST(UtfCodecTest, DecodeUtf8) {
  struct Case {
    Bytes bytes;
    uint32_t budget;
    uint32_t code_point;
    uint32_t taken;
  };
  const Case cases[] = {
      {{0x41}, 1, 0x41, 1},
      {{0x00}, 1, 0, 0},
      {{0x41}, 0, 0, 0},
      {{0x41}, 1000, 0x41, 1},
      {{0xC2, 0x80}, 2, 0x80, 2},
      {{0xDF, 0xBF}, 2, 0x7FF, 2},
      {{0xC0, 0x80}, 2, 0, 0},  // overlong NUL
      {{0xC1, 0xBF}, 2, 0, 0},
      {{0xE2, 0x82, 0xAC}, 3, 0x20AC, 3},
      {{0xE2, 0x82, 0xAC}, 2, 0, 0},  // the budget cuts the character
      {{0xE2, 0x82, 0xAC}, 100, 0x20AC, 3},
      // Overlong: each value below the smallest of its length fails.
      {{0xE0, 0x80, 0x80}, 3, 0, 0},
      {{0xE0, 0x80, 0xAF}, 3, 0, 0},  // '/'
      {{0xE0, 0x9F, 0xBF}, 3, 0, 0},
      {{0xE0, 0xA0, 0x80}, 3, 0x800, 3},
      {{0xED, 0xA0, 0x80}, 3, 0xD800, 3},  // surrogates decode like any value
      {{0xF4, 0x8F, 0xBF, 0xBF}, 4, 0x10FFFF, 4},
      {{0xF0, 0x80, 0x80, 0x80}, 4, 0, 0},
      {{0xF0, 0x80, 0x9F, 0xBF}, 4, 0, 0},  // U+07FF
      {{0xF0, 0x8F, 0xBF, 0xBF}, 4, 0, 0},
      {{0xF0, 0x90, 0x80, 0x80}, 4, 0x10000, 4},
      {{0xF8, 0x87, 0xBF, 0xBF, 0xBF}, 5, 0, 0},
      {{0xF8, 0x88, 0x80, 0x80, 0x80}, 5, 0x200000, 5},
      {{0xFC, 0x83, 0xBF, 0xBF, 0xBF, 0xBF}, 6, 0, 0},
      {{0xFC, 0x84, 0x80, 0x80, 0x80, 0x80}, 6, 0x4000000, 6},
      {{0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}, 6, 0x7FFFFFFF, 6},
      {{0xFE}, 6, 0, 0},
      {{0xFF}, 6, 0, 0},
      {{0x80}, 6, 0, 0},
      {{0xC2, 0x41}, 2, 0, 0},  // not a continuation byte
      {{0xE2, 0x82, 0xC0}, 3, 0, 0},
      {{0xE2, 0x82, 0x00}, 3, 0, 0},
  };
  for (const Case& c : cases) {
    const Decoded decoded = decode_utf8(c.bytes.data(), c.budget);
    EXPECT_EQ(decoded.code_point, c.code_point) << hex(c.bytes) << "budget " << c.budget;
    EXPECT_EQ(decoded.taken, c.taken) << hex(c.bytes) << "budget " << c.budget;
  }
}

TEST(UtfCodecTest, DecodeUtf8ReadsNothingPastTheTerminator) {
  // A lead byte announcing six bytes, at the very end of an allocation: the
  // sanitizer reports any read beyond the NUL.
  for (uint8_t lead : {0xC2, 0xE2, 0xF0, 0xF8, 0xFC}) {
    Bytes text{lead, 0x00};
    EXPECT_EQ(decode_utf8(text.data(), ~0u).taken, 0u) << hex(text);
  }
  Bytes cut{0xF0, 0x9F, 0x00};
  EXPECT_EQ(decode_utf8(cut.data(), 6).taken, 0u);
}

TEST(UtfCodecTest, EncodeUtf8) {
  struct Case {
    uint32_t code_point;
    Bytes bytes;  // empty: encoding fails
  };
  const Case cases[] = {
      {0x0, {0x00}},
      {0x7F, {0x7F}},
      {0x80, {0xC2, 0x80}},
      {0x7FF, {0xDF, 0xBF}},
      {0x800, {0xE0, 0xA0, 0x80}},
      {0xD800, {0xED, 0xA0, 0x80}},
      {0xFFFF, {0xEF, 0xBF, 0xBF}},
      {0x10000, {0xF0, 0x90, 0x80, 0x80}},
      {0x1FFFFF, {0xF7, 0xBF, 0xBF, 0xBF}},
      {0x200000, {0xF8, 0x88, 0x80, 0x80, 0x80}},
      {0x3FFFFFF, {0xFB, 0xBF, 0xBF, 0xBF, 0xBF}},
      {0x4000000, {0xFC, 0x84, 0x80, 0x80, 0x80, 0x80}},
      {0x7FFFFFFF, {0xFD, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF}},
      {0x80000000, {}},
      {0xFFFFFFFF, {}},
  };
  for (const Case& c : cases) {
    uint8_t out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    const uint32_t length = encode_utf8(c.code_point, out);
    EXPECT_EQ(Bytes(out, out + length), c.bytes) << std::hex << c.code_point;
    EXPECT_EQ(out[length], 0xEE) << "no NUL is written, " << std::hex << c.code_point;
  }
}

TEST(UtfCodecTest, EveryEncodedValueDecodesBack) {
  // Boundaries of each length, and a spread of values between them.
  std::vector<uint32_t> values = {1,       0x7F,     0x80,     0x7FF,     0x800,     0xFFFF,
                                  0x10000, 0x1FFFFF, 0x200000, 0x3FFFFFF, 0x4000000, 0x7FFFFFFF};
  for (uint32_t value = 1; value < 0x7FFFFFFF - 65521; value = value * 3 + 65521) {
    values.push_back(value);
  }
  for (uint32_t value : values) {
    uint8_t out[6];
    const uint32_t length = encode_utf8(value, out);
    const Decoded decoded = decode_utf8(out, length);
    EXPECT_EQ(decoded.code_point, value) << std::hex << value;
    EXPECT_EQ(decoded.taken, length) << std::hex << value;
  }
}

TEST(UtfCodecTest, DecodeUtf16) {
  struct Case {
    std::u16string units;
    uint32_t budget;
    uint32_t code_point;
    uint32_t taken;
  };
  const Case cases[] = {
      {u"", ~0u, 0, 0},
      {u"A", ~0u, 0x41, 1},
      {u"A", 0, 0, 0},
      {u"\xFFFF", 1, 0xFFFF, 1},
      {u"\xD83D\xDE00", ~0u, 0x1F600, 2},
      {u"\xD800\xDC00", 2, 0x10000, 2},
      {u"\xDBFF\xDFFF", ~0u, 0x10FFFF, 2},
      {u"\xDC00", 1, 0xDC00, 1},  // a lone low surrogate passes through
      {u"\xD800"
       u"A",
       ~0u, 0xD800, 1},                   // so does an unpaired high one
      {u"\xD800", ~0u, 0xD800, 1},        // also before the terminator
      {u"\xD83D\xDE00", 1, 0, 0},         // the budget ends inside the pair
      {u"\xDE00\xD83D", ~0u, 0xDE00, 1},  // a pair in the wrong order is two lone units
  };
  for (const Case& c : cases) {
    const Decoded decoded = decode_utf16(c.units.c_str(), c.budget);
    EXPECT_EQ(decoded.code_point, c.code_point)
        << std::hex << c.code_point << " budget " << c.budget;
    EXPECT_EQ(decoded.taken, c.taken) << std::hex << c.code_point << " budget " << c.budget;
  }
}

TEST(UtfCodecTest, Utf16ToUtf8ReadsNothingPastTheBudget) {
  // An unterminated text that fills its allocation and ends in a high
  // surrogate: the sanitizer reports a look at the unit after it.
  const std::vector<char16_t> units = {u'a', 0xD83D};
  char out[8];
  EXPECT_EQ(utf16_to_utf8(units.data(), span_of(out), 2), 1u);
  EXPECT_STREQ(out, "a");
}

TEST(UtfCodecTest, EncodeUtf16) {
  struct Case {
    uint32_t code_point;
    std::u16string units;  // empty: encoding fails
  };
  const Case cases[] = {
      {0, u""},
      {0x41, u"A"},
      {0xDC00, u"\xDC00"},
      {0xFFFF, u"\xFFFF"},
      {0x10000, u"\xD800\xDC00"},
      {0x1F600, u"\xD83D\xDE00"},
      {0x10FFFF, u"\xDBFF\xDFFF"},
      {0x110000, u""},
      {0x7FFFFFFF, u""},
  };
  for (const Case& c : cases) {
    char16_t out[2] = {};
    const uint32_t length = encode_utf16(c.code_point, out);
    EXPECT_EQ(std::u16string(out, length), c.units) << std::hex << c.code_point;
  }
}

TEST(UtfCodecTest, Utf8ToUtf16StopsAtTheFirstFailureOrTheBudget) {
  struct Case {
    const char* source;
    uint32_t max_bytes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"", ~0u, u""},
      {"h\xE2\x82\xAC"
       "llo \xF0\x9F\x98\x80",
       ~0u, u"h\u20ACllo \xD83D\xDE00"},
      {"a\xE2\x82\xAC", 3, u"a"},  // the budget ends inside the euro sign
      {"abc", 2, u"ab"},
      {"ab\x80"
       "cd",
       ~0u, u"ab"},
      {"a\xF8\x88\x80\x80\x80"
       "b",
       ~0u, u"a"},  // decodes, but has no UTF-16 form
      {"\xED\xA0\x80"
       "x",
       ~0u, u"\xD800x"},
  };
  for (const Case& c : cases) {
    char16_t out[32];
    std::fill(std::begin(out), std::end(out), u'#');
    const uint32_t written = utf8_to_utf16(c.source, span_of(out), c.max_bytes);
    EXPECT_EQ(std::u16string(out, written), c.expected) << c.source;
    EXPECT_EQ(out[written], 0) << "terminated, " << c.source;
  }
  char16_t out[1] = {u'#'};
  EXPECT_EQ(utf8_to_utf16(nullptr, span_of(out), ~0u), 0u);
  EXPECT_EQ(out[0], 0);
}

TEST(UtfCodecTest, Utf16ToUtf8StopsAtTheFirstFailureOrTheBudget) {
  struct Case {
    std::u16string source;
    uint32_t max_units;
    std::string expected;
  };
  const Case cases[] = {
      {u"", ~0u, ""},
      {u"h\u20AC \xD83D\xDE00", ~0u, "h\xE2\x82\xAC \xF0\x9F\x98\x80"},
      {u"\xD800"
       u"a",
       ~0u,
       "\xED\xA0\x80"
       "a"},  // unpaired high surrogate: its 3-byte form
      {u"\xDC00", ~0u, "\xED\xB0\x80"},
      {u"a\xD83D\xDE00", 2, "a"},  // the pair would go past the budget
      {u"abc", 0, ""},
      {u"abc", 2, "ab"},
  };
  for (const Case& c : cases) {
    char out[32];
    std::memset(out, '#', sizeof out);
    const uint32_t written = utf16_to_utf8(c.source.c_str(), span_of(out), c.max_units);
    EXPECT_EQ(std::string(out, written), c.expected);
    EXPECT_EQ(out[written], '\0');
  }
}

TEST(UtfCodecTest, ConversionsStopAtTheFirstCharacterTheDestinationCannotHold) {
  // Each destination is exactly `capacity` units from the heap, so that the
  // sanitizers see a write past it.
  const char* utf8 = "h\xE2\x82\xAC\xF0\x9F\x98\x80";  // h, a euro sign, a pair in UTF-16
  const std::u16string utf16 = u"h\u20AC\xD83D\xDE00";
  struct Case {
    uint32_t capacity;
    uint32_t to_utf16;  // units written before the NUL
    uint32_t to_utf8;
  };
  const Case cases[] = {
      {0, 0, 0}, {1, 0, 0}, {2, 1, 1}, {3, 2, 1}, {4, 2, 1}, {5, 4, 4}, {8, 4, 4}, {9, 4, 8},
  };
  for (const Case& c : cases) {
    std::vector<char16_t> wide(c.capacity, u'#');
    EXPECT_EQ(utf8_to_utf16(utf8, {wide.data(), c.capacity}, ~0u), c.to_utf16) << c.capacity;
    if (c.capacity != 0) {
      EXPECT_EQ(std::u16string(wide.data()), utf16.substr(0, c.to_utf16));
    }
    std::vector<char> narrow(c.capacity, '#');
    EXPECT_EQ(utf16_to_utf8(utf16.c_str(), {narrow.data(), c.capacity}, ~0u), c.to_utf8)
        << c.capacity;
    if (c.capacity != 0) {
      EXPECT_EQ(std::string(narrow.data()), std::string(utf8, c.to_utf8));
    }
  }
}

TEST(UtfCodecTest, WorstCaseTextsFitTheDocumentedRoom) {
  // Exactly the documented room, from the heap, so any write past it shows.
  const uint32_t n = 300;
  const std::string ascii(n, 'a');
  std::vector<char16_t> wide(n + 1);
  EXPECT_EQ(utf8_to_utf16(ascii.c_str(), {wide.data(), n + 1}, n), n);

  const std::u16string euros(n, u'\u20AC');
  std::vector<char> narrow(3 * n + 1);
  EXPECT_EQ(utf16_to_utf8(euros.c_str(), {narrow.data(), 3 * n + 1}, n), 3 * n);
  EXPECT_EQ(narrow[3 * n], '\0');
}

}  // namespace
}  // namespace dwx
