// format_text through utf8api's uPrintfV.
#include "text/format.h"

#include <gtest/gtest.h>

#include <string>

namespace dwx {
namespace {

TEST(FormatTest, FormatsTheConversionsTheComponentUses) {
  EXPECT_STREQ(format_text("mixerOpen failed - %s", "No driver.\r\n").c_str(),
               "mixerOpen failed - No driver.\r\n");
  EXPECT_STREQ(format_text("Unable to query mixer info for ID %u - %s", 3u, "").c_str(),
               "Unable to query mixer info for ID 3 - ");
  EXPECT_STREQ(format_text("%d.%02d dB", -6, 2).c_str(), "-6.02 dB");
  EXPECT_STREQ(format_text("%d%%", 100).c_str(), "100%");
  EXPECT_STREQ(format_text("%s", "\xC3\xA9\xE2\x82\xAC").c_str(), "\xC3\xA9\xE2\x82\xAC");
}

TEST(FormatTest, ResultIsAGrowOnlyStringOfAnyLength) {
  const std::string long_text(3000, 'v');
  Utf8String text = format_text("<%s>", long_text.c_str());
  EXPECT_EQ(std::string(text.c_str()), "<" + long_text + ">");
  EXPECT_EQ(text.length(), 3002u);
  EXPECT_EQ(text.buffer().mode(), GrowthMode::grow_only);
  EXPECT_EQ(text.buffer().capacity(), 4096u);

  Utf8String empty = format_text("%s", "");
  EXPECT_STREQ(empty.c_str(), "");
  EXPECT_EQ(empty.length(), 0u);
}

}  // namespace
}  // namespace dwx
