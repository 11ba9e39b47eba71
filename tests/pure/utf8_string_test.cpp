// Utf8String: buffer reservation, the host string operations, and UTF-16 appends.
#include "text/utf8_string.h"

#include <gtest/gtest.h>

#include <string>

#include "text/scratch_buffer.h"
#include "text/text_copy.h"

namespace dwx {
namespace {

TEST(Utf8StringTest, EmptyStringHasATextButNoBuffer) {
  Utf8String string;
  EXPECT_STREQ(string.get_text(), "");
  EXPECT_EQ(string.length(), 0u);
  EXPECT_EQ(string.buffer().data(), nullptr);
}

TEST(Utf8StringTest, BufferStaysBetweenNeedAndThirtyTwoMore) {
  // Each step: the operation, then the text and buffer size expected.
  struct Step {
    char op;  // 'a' append, 's' set, 't' truncate to `length`
    const char* text;
    uint32_t length;
    const char* expected;
    uint32_t size;
  };
  const std::string forty(40, 'x');
  const Step steps[] = {
      {'a', "ab", unbounded, "ab", 19},        // 2 + 1 + 16
      {'a', "cdef", unbounded, "abcdef", 19},  // 7 needed: fits
      {'s', forty.c_str(), unbounded, forty.c_str(), 57},
      {'s', "0123456789", unbounded, "0123456789", 11},  // 57 > 11 + 32: shrinks to the need
      {'a', "!", unbounded, "0123456789!", 28},
      {'t', nullptr, 20, "0123456789!", 28},  // not shorter: nothing happens
      {'t', nullptr, 11, "0123456789!", 28},
      {'t', nullptr, 4, "0123", 28},  // 5 needed, 28 is not more than 37
      {'a', "abcdefgh", 3, "0123abc", 28},
      {'s', "xyz", 2, "xy", 28},
      {'s', nullptr, unbounded, "", 28},
  };
  Utf8String string;
  for (const Step& step : steps) {
    if (step.op == 'a') string.append(step.text, step.length);
    if (step.op == 's') string.set(step.text, step.length);
    if (step.op == 't') string.truncate(step.length);
    EXPECT_STREQ(string.get_text(), step.expected) << step.op << " " << step.expected;
    EXPECT_EQ(string.length(), std::string(step.expected).size()) << step.expected;
    EXPECT_EQ(string.buffer().size(), step.size) << step.op << " " << step.expected;
    EXPECT_EQ(string.buffer().capacity(), step.size) << "mode 0 allocates exactly the size";
  }
}

TEST(Utf8StringTest, GrowOnlyStringNeverGivesMemoryBack) {
  Utf8String string(GrowthMode::grow_only);
  string.set(std::string(100, 'y').c_str(), unbounded);
  EXPECT_EQ(string.buffer().capacity(), 128u);
  string.set("short", unbounded);
  EXPECT_EQ(string.buffer().size(), 6u);
  EXPECT_EQ(string.buffer().capacity(), 128u);
  string.truncate(0);
  EXPECT_STREQ(string.get_text(), "");
  EXPECT_EQ(string.buffer().capacity(), 128u);
}

TEST(Utf8StringTest, TextFromTheStringItselfSurvivesReallocation) {
  Utf8String string;
  const std::string twenty = "abcdefghijklmnopqrst";
  string.set(twenty.c_str(), unbounded);
  string.append(string.get_text(), unbounded);  // 41 bytes needed: the buffer moves
  EXPECT_EQ(std::string(string.get_text()), twenty + twenty);
  string.set(string.get_text() + 36, unbounded);
  EXPECT_STREQ(string.get_text(), "qrst");
  string.set(std::string(60, 'z').c_str(), unbounded);
  string.set(string.get_text() + 55, unbounded);  // shrinks the buffer it is read from
  EXPECT_STREQ(string.get_text(), "zzzzz");
}

TEST(Utf8StringTest, WorksThroughTheHostStringSlots) {
  Utf8String string;
  HostString& host = string;
  EXPECT_STREQ(set_text(host, "volume"), "volume");
  host.append(" up", unbounded);
  host.truncate(3);
  EXPECT_EQ(host.length(), 3u);
  EXPECT_STREQ(host.get_text(), "vol");
}

TEST(Utf8StringTest, MoveTakesTheBufferAndLeavesAnEmptyString) {
  Utf8String first(GrowthMode::grow_only);
  first.set("moved text", unbounded);
  const uint8_t* data = first.buffer().data();
  Utf8String second(std::move(first));
  EXPECT_STREQ(second.get_text(), "moved text");
  EXPECT_EQ(second.buffer().data(), data);
  EXPECT_EQ(second.buffer().mode(), GrowthMode::grow_only);
  EXPECT_STREQ(first.get_text(), "");  // NOLINT(bugprone-use-after-move)
  EXPECT_EQ(first.buffer().data(), nullptr);
  first.append("reused", unbounded);
  EXPECT_STREQ(first.get_text(), "reused");
}

TEST(Utf8StringTest, AppendUtf16ConvertsUpToTheLimit) {
  Utf8String string;
  string.set("[", unbounded);
  string.append_utf16(u"h\u20AC\xD83D\xDE00", unbounded);
  EXPECT_STREQ(string.get_text(), "[h\xE2\x82\xAC\xF0\x9F\x98\x80");
  string.set_from_utf16(
      u"\xD800"
      u"abc",
      2);
  EXPECT_STREQ(string.get_text(),
               "\xED\xA0\x80"
               "a");
  // A lone high surrogate at the very end is still a character of its own.
  string.set_from_utf16(u"a\xD800", unbounded);
  EXPECT_STREQ(string.get_text(), "a\xED\xA0\x80");
  string.set_from_utf16(nullptr, unbounded);
  EXPECT_STREQ(string.get_text(), "");
}

TEST(Utf8StringTest, ScratchComesFromTheStackUpTo4096Bytes) {
  EXPECT_EQ(utf8_scratch_bytes(1365), 4096u);
  EXPECT_EQ(utf8_scratch_bytes(1400), 4201u);
  EXPECT_EQ(utf16_scratch_bytes(2047), 4096u);
  EXPECT_EQ(utf16_scratch_bytes(2048), 4098u);
  EXPECT_EQ(utf8_scratch_bytes(0x60000000), ~0u) << "too large: no wrap round";
  EXPECT_EQ(utf16_scratch_bytes(0x80000000), ~0u);
  EXPECT_FALSE(ScratchBuffer<conversion_stack_bytes>(utf8_scratch_bytes(1365)).on_heap());
  EXPECT_TRUE(ScratchBuffer<conversion_stack_bytes>(utf8_scratch_bytes(1400)).on_heap());
}

TEST(Utf8StringTest, AppendUtf16OfWorstCaseTextsOnEitherSideOfTheStackLimit) {
  // 1365 euro signs fill the 4096-byte stack scratch to its last byte; 1400
  // need the heap. The sanitizers see any write beyond either.
  for (uint32_t count : {1365u, 1366u, 1400u}) {
    const std::u16string source(count, u'\u20AC');
    Utf8String string;
    string.append_utf16(source.c_str(), unbounded);
    std::string expected;
    for (uint32_t i = 0; i < count; ++i)
      expected += "\xE2\x82\xAC";
    EXPECT_EQ(string.length(), 3 * count);
    EXPECT_EQ(std::string(string.get_text()), expected);
  }
}

}  // namespace
}  // namespace dwx
