// Conversions through the ANSI code page, and the copies made for Windows calls.
#include "text/ansi.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "support/span_of.h"
#include "text/text_copy.h"

namespace dwx {
namespace {

// The expected bytes are those of code page 1252, which the test prefix uses.
class AnsiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 1252) GTEST_SKIP() << "expectations are written for code page 1252";
  }
};

// A destination of exactly `room` units followed by guard units, so that a
// write past the room the callers are told to provide shows.
template <class Unit>
class Guarded {
 public:
  explicit Guarded(size_t room) : room_(room), units_(room + guard, Unit(0x5A)) {}
  Unit* get() { return units_.data(); }
  Span<Unit> span() { return Span<Unit>{units_.data(), static_cast<uint32_t>(room_)}; }
  bool intact() const {
    for (size_t i = room_; i < units_.size(); ++i) {
      if (units_[i] != Unit(0x5A)) return false;
    }
    return true;
  }

 private:
  static constexpr size_t guard = 8;
  size_t room_;
  std::vector<Unit> units_;
};

TEST_F(AnsiTest, AnsiToUtf16) {
  struct Case {
    const char* source;
    uint32_t max_bytes;
    std::u16string expected;
  };
  const Case cases[] = {
      {"", unbounded, u""},
      {nullptr, unbounded, u""},
      {"volume", unbounded, u"volume"},
      {"\x80 \xE9", unbounded, u"\u20AC \u00E9"},
      {"\x80 \xE9", 2, u"\u20AC "},
  };
  for (const Case& c : cases) {
    const uint32_t n = bounded_length(c.source, c.max_bytes);
    Guarded<char16_t> out(n + 1);
    const uint32_t written = ansi_to_utf16(c.source, out.span(), c.max_bytes);
    EXPECT_EQ(std::u16string(out.get(), written), c.expected);
    EXPECT_EQ(out.get()[written], 0);
    EXPECT_TRUE(out.intact());
  }
}

TEST_F(AnsiTest, Utf16ToAnsi) {
  struct Case {
    std::u16string source;
    uint32_t max_units;
    std::string expected;
  };
  const Case cases[] = {
      {u"", unbounded, ""},
      {u"mute", unbounded, "mute"},
      {u"\u20AC \u00E9", unbounded, "\x80 \xE9"},
      {u"\u20AC \u00E9", 1, "\x80"},
      {u"a\u4E2D", unbounded, "a?"},  // not in the code page: the system's default character
  };
  for (const Case& c : cases) {
    const uint32_t n = bounded_length(c.source.c_str(), c.max_units);
    Guarded<char> out(3 * n + 1);
    const uint32_t written = utf16_to_ansi(c.source.c_str(), out.span(), c.max_units);
    EXPECT_EQ(std::string(out.get(), written), c.expected);
    EXPECT_EQ(out.get()[written], '\0');
    EXPECT_TRUE(out.intact());
  }
}

// The same conversions where one character takes two bytes. A program's ANSI
// code page is fixed when it starts: the CTest entries text_tests_cp932,
// _cp936 and _cp949 start this program under each of them (Wine takes it from
// LC_ALL) and set DWX_DOUBLE_BYTE_CODE_PAGE, so that there a wrong code page
// fails rather than skips.
TEST(AnsiDoubleByteTest, WholeTextsConvert) {
  struct Case {
    UINT code_page;
    std::u16string text;  // "volume 50%"
    const char* utf8;
    const char* ansi;
    const char* first_character;
  };
  const Case cases[] = {
      {932, u"\u97F3\u91CF 50%", "\xE9\x9F\xB3\xE9\x87\x8F 50%", "\x89\xB9\x97\xCA 50%",
       "\x89\xB9"},
      {936, u"\u97F3\u91CF 50%", "\xE9\x9F\xB3\xE9\x87\x8F 50%", "\xD2\xF4\xC1\xBF 50%",
       "\xD2\xF4"},
      {949, u"\uC74C\uB7C9 50%", "\xEC\x9D\x8C\xEB\x9F\x89 50%", "\xC0\xBD\xB7\xAE 50%",
       "\xC0\xBD"},
  };
  const Case* c = nullptr;
  for (const Case& candidate : cases) {
    if (candidate.code_page == GetACP()) c = &candidate;
  }
  if (c == nullptr) {
    if (getenv("DWX_DOUBLE_BYTE_CODE_PAGE") != nullptr) {
      FAIL() << "started for code page " << getenv("DWX_DOUBLE_BYTE_CODE_PAGE")
             << ", running under " << GetACP();
    }
    GTEST_SKIP() << "runs under a double-byte code page, in the text_tests_cp* entries";
  }

  const uint32_t n = bounded_length(c->text.c_str(), unbounded);
  Guarded<char> ansi(3 * n + 1);
  EXPECT_EQ(utf16_to_ansi(c->text.c_str(), ansi.span(), unbounded), std::strlen(c->ansi));
  EXPECT_STREQ(ansi.get(), c->ansi);
  EXPECT_TRUE(ansi.intact());
  char first[8];
  EXPECT_EQ(utf16_to_ansi(c->text.c_str(), span_of(first), 1), 2u);
  EXPECT_STREQ(first, c->first_character);

  // The ANSI form of a tooltip text, and back.
  Guarded<char> from_utf8(std::strlen(c->utf8) + 1);
  EXPECT_EQ(utf8_to_ansi(c->utf8, from_utf8.span(), unbounded), std::strlen(c->ansi));
  EXPECT_STREQ(from_utf8.get(), c->ansi);
  EXPECT_TRUE(from_utf8.intact());
  Guarded<char> back(3 * std::strlen(c->ansi) + 1);
  EXPECT_EQ(ansi_to_utf8(c->ansi, back.span(), unbounded), std::strlen(c->utf8));
  EXPECT_STREQ(back.get(), c->utf8);
}

TEST_F(AnsiTest, Utf8ToAnsiAndBack) {
  struct Case {
    const char* utf8;
    const char* ansi;
  };
  const Case cases[] = {
      {"", ""},
      {"-6.02 dB", "-6.02 dB"},
      {"\xE2\x82\xAC\xC3\xA9", "\x80\xE9"},
      {"\xC3\xBC\xC3\x9F", "\xFC\xDF"},
  };
  for (const Case& c : cases) {
    const uint32_t n = bounded_length(c.utf8, unbounded);
    Guarded<char> ansi(n + 1);
    const uint32_t written = utf8_to_ansi(c.utf8, ansi.span(), unbounded);
    EXPECT_STREQ(ansi.get(), c.ansi);
    EXPECT_EQ(written, std::strlen(c.ansi));
    EXPECT_TRUE(ansi.intact());

    // One ANSI byte may need three bytes of UTF-8.
    const uint32_t m = bounded_length(c.ansi, unbounded);
    Guarded<char> utf8(3 * m + 1);
    EXPECT_EQ(ansi_to_utf8(c.ansi, utf8.span(), unbounded), n);
    EXPECT_STREQ(utf8.get(), c.utf8);
    EXPECT_TRUE(utf8.intact());
  }
  // A bound inside a UTF-8 character converts what comes before it.
  char out[8];
  EXPECT_EQ(utf8_to_ansi("a\xE2\x82\xAC", span_of(out), 3), 1u);
  EXPECT_STREQ(out, "a");
}

TEST_F(AnsiTest, ADestinationTooSmallForTheTextIsNeverWrittenPast) {
  // The system converts a whole text or nothing; UTF-8 is written by our own
  // codec, which stops after the last character that fits. Each destination
  // is given in bytes.
  struct Case {
    const char* name;
    uint32_t unit;        // bytes of one output unit
    uint32_t needed;      // bytes, the NUL included
    uint32_t when_short;  // units converted into one unit less
    uint32_t (*convert)(Span<char> destination);
  };
  const Case cases[] = {
      {"ansi_to_utf16", 2, 4 * 2, 0,
       [](Span<char> destination) {
         const Span<char16_t> wide{reinterpret_cast<char16_t*>(destination.data),
                                   destination.capacity / 2};
         return ansi_to_utf16("\x80 \xE9", wide, unbounded);
       }},
      {"utf16_to_ansi", 1, 4, 0,
       [](Span<char> destination) {
         return utf16_to_ansi(u"\u20AC \u00E9", destination, unbounded);
       }},
      {"utf8_to_ansi", 1, 3, 0,
       [](Span<char> destination) {
         return utf8_to_ansi("\xE2\x82\xAC\xC3\xA9", destination, unbounded);
       }},
      {"ansi_to_utf8", 1, 6, 3,
       [](Span<char> destination) { return ansi_to_utf8("\x80\xE9", destination, unbounded); }},
  };
  for (const Case& c : cases) {
    Guarded<char> exact(c.needed);
    EXPECT_EQ(c.convert(exact.span()), (c.needed - c.unit) / c.unit) << c.name;
    EXPECT_TRUE(exact.intact()) << c.name;
    Guarded<char> short_by_one(c.needed - c.unit);
    EXPECT_EQ(c.convert(short_by_one.span()), c.when_short) << c.name;
    EXPECT_EQ(short_by_one.get()[c.when_short * c.unit], '\0') << c.name;
    EXPECT_TRUE(short_by_one.intact()) << c.name;
    Guarded<char> none(0);
    EXPECT_EQ(c.convert(none.span()), 0u) << c.name;
    EXPECT_TRUE(none.intact()) << c.name << ": not even a NUL";
  }
}

TEST_F(AnsiTest, AppendAnsiOnEitherSideOfTheStackScratch) {
  // One scratch buffer holds both forms, 5n + 3 bytes for n ANSI bytes: 818
  // euro signs take 4093 of its 4096 stack bytes, 819 need 4098 from the
  // heap, and so do the longer texts.
  for (uint32_t count : {818u, 819u, 1365u, 1366u, 1400u}) {
    const std::string source(count, '\x80');
    Utf8String string;
    string.set("[", unbounded);
    append_ansi(string, source.c_str(), unbounded);
    std::string expected = "[";
    for (uint32_t i = 0; i < count; ++i)
      expected += "\xE2\x82\xAC";
    EXPECT_EQ(string.length(), expected.size()) << count;
    EXPECT_EQ(std::string(string.get_text()), expected) << count;
  }
}

TEST_F(AnsiTest, SetFromAnsiReplacesAndHonoursTheBound) {
  Utf8String string;
  string.set("old text", unbounded);
  set_from_ansi(string, "\xE9t\xE9", 2);
  EXPECT_STREQ(string.get_text(), "\xC3\xA9t");
  set_from_ansi(string, nullptr, unbounded);
  EXPECT_STREQ(string.get_text(), "");
}

TEST_F(AnsiTest, CopiesForWindowsCalls) {
  const WideCopy wide("h\xE2\x82\xAC \xF0\x9F\x98\x80");
  ASSERT_NE(wide.get(), nullptr);
  EXPECT_EQ(std::wstring(wide.get()), std::wstring(L"h\u20AC \xD83D\xDE00"));
  const AnsiCopy ansi("h\xE2\x82\xAC\xC3\xA9");
  ASSERT_NE(ansi.get(), nullptr);
  EXPECT_STREQ(ansi.get(), "h\x80\xE9");
  EXPECT_EQ(WideCopy(nullptr).get(), nullptr);
  EXPECT_EQ(AnsiCopy(nullptr).get(), nullptr);
  EXPECT_EQ(std::wstring(WideCopy("").get()), L"");
  // Short copies live on the stack; these need more than its 4096 bytes.
  const std::string long_text(5000, 'x');
  EXPECT_EQ(std::wstring(WideCopy(long_text.c_str()).get()), std::wstring(5000, L'x'));
  EXPECT_EQ(std::string(AnsiCopy(long_text.c_str()).get()), long_text);
}

// How deep a call reaches into the stack: the stack below the caller is
// painted, the call made, and the painted bytes it left alone counted from
// the bottom up.
constexpr size_t painted_bytes = 32 * 1024;
constexpr uint8_t paint = 0xA5;

__attribute__((noinline)) uintptr_t paint_stack() {
  volatile uint8_t area[painted_bytes];
  for (size_t i = 0; i < painted_bytes; ++i)
    area[i] = paint;
  return reinterpret_cast<uintptr_t>(&area[0]);
}

template <class Call>
__attribute__((noinline)) size_t stack_bytes_used(Call call) {
  const uintptr_t lowest = paint_stack();
  call();
  const auto* bytes = reinterpret_cast<const volatile uint8_t*>(lowest);
  size_t untouched = 0;
  while (untouched < painted_bytes && bytes[untouched] == paint)
    ++untouched;
  return painted_bytes - untouched;
}

// A window procedure converts short texts: the tooltip's at every mouse move
// of a drag, a system message when a window call fails. One conversion takes
// one scratch buffer, and a copy for a tooltip only what such a text needs.
TEST(ConversionStackTest, ShortTextsTakeOnlyTheStackTheirConversionNeeds) {
  struct Case {
    const char* name;
    size_t most_bytes;
    void (*convert)();
  };
  const Case cases[] = {
      {"append_ansi", 6 * 1024,
       [] {
         Utf8String string;
         append_ansi(string, "The device is busy.", unbounded);
       }},
      {"append_utf16", 6 * 1024,
       [] {
         Utf8String string;
         string.append_utf16(u"The device is busy.", unbounded);
       }},
      {"WideCopy", 2 * 1024, [] { WideCopy("-6.02 dB").get(); }},
      {"AnsiCopy", 2 * 1024, [] { AnsiCopy("-6.02 dB").get(); }},
  };
  for (const Case& c : cases) {
    const size_t used = stack_bytes_used(c.convert);
    EXPECT_LE(used, c.most_bytes) << c.name;
    EXPECT_GT(used, 0u) << c.name << ": the measure saw nothing";
  }
}

}  // namespace
}  // namespace dwx
