// Bounded lengths, heap copies and OwnedText.
#include "text/text_copy.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace dwx {
namespace {

TEST(TextCopyTest, BoundedLengthStopsAtTheNulOrTheLimit) {
  struct Case {
    const char* text;
    uint32_t max;
    uint32_t expected;
  };
  const Case cases[] = {
      {nullptr, unbounded, 0}, {"", unbounded, 0}, {"abc", unbounded, 3}, {"abc", 3, 3},
      {"abc", 2, 2},           {"abc", 0, 0},      {"ab\0cd", 5, 2},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bounded_length(c.text, c.max), c.expected)
        << (c.text ? c.text : "(null)") << ", max " << c.max;
  }
  EXPECT_EQ(bounded_length(static_cast<const char16_t*>(nullptr), unbounded), 0u);
  EXPECT_EQ(bounded_length(u"h\u20ACllo", unbounded), 5u);
  EXPECT_EQ(bounded_length(u"h\u20ACllo", 2), 2u);
  EXPECT_EQ(bounded_length(u"ab\0cd", 5), 2u);
}

TEST(TextCopyTest, CopyTextCopiesTheBoundedPartAndTerminatesIt) {
  char* copy = copy_text("component", 4);
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "comp");
  std::free(copy);
  copy = copy_text(nullptr, unbounded);
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy, "");
  std::free(copy);
}

TEST(TextCopyTest, OwnedTextHoldsACopyOrNothing) {
  OwnedText text;
  EXPECT_TRUE(text.empty());
  EXPECT_STREQ(text.get(), "");

  std::string source = "mixer";
  text.assign(source.c_str());
  source[0] = 'M';
  EXPECT_STREQ(text.get(), "mixer") << "the text is a copy";
  EXPECT_FALSE(text.empty());

  text.assign("");
  EXPECT_TRUE(text.empty());
  text.assign("again");
  text.assign(nullptr);
  EXPECT_TRUE(text.empty());
  EXPECT_STREQ(text.get(), "");
}

TEST(TextCopyTest, OwnedTextCanBeAssignedFromItself) {
  OwnedText text;
  text.assign("a longer text");
  text.assign(text.get());
  EXPECT_STREQ(text.get(), "a longer text");
  text.assign(text.get() + 9);
  EXPECT_STREQ(text.get(), "text");
}

}  // namespace
}  // namespace dwx
