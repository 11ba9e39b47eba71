// The tooltip's text of a level: decibels on the host's own volume, per cent
// on a mixer, for every kind of level, the ends of 32 bits among them.
#include "ui/level_text.h"

#include <gtest/gtest.h>

#include <climits>

#include "frame/settings.h"

// This program plays the library's part: it owns the setting the text reads.
namespace dwx {
ConfigList configuration;
ConfigInt mixer_id(configuration, "mixer_id");
}  // namespace dwx

namespace {

struct Case {
  int32_t level;
  const char* decibels;  // on the host's own volume
  const char* per_cent;  // on a mixer
};

TEST(LevelText, DecibelsOnTheHostsVolumeAndPerCentOnAMixer) {
  const Case cases[] = {
      {1000, "0.00 dB", "100.0%"},
      {999, "0.00 dB", "99.9%"},
      {997, "-0.02 dB", "99.7%"},
      {950, "-0.44 dB", "95.0%"},
      {707, "-3.01 dB", "70.7%"},
      {505, "-5.93 dB", "50.5%"},
      {500, "-6.02 dB", "50.0%"},
      {253, "-11.93 dB", "25.3%"},
      {100, "-20.00 dB", "10.0%"},
      {5, "-46.02 dB", "0.5%"},
      {2, "-53.97 dB", "0.2%"},
      {1, "-60.00 dB", "0.1%"},
      {0, "-60.00 dB", "0.0%"},
      // Beyond the scale, as a host's volume above full may give: the text
      // still fits, and a negative fraction keeps its sign.
      {2000, "6.02 dB", "200.0%"},
      {-1, "-60.00 dB", "-0.1%"},
      {INT32_MAX, "126.63 dB", "214748364.7%"},
      {INT32_MIN, "-60.00 dB", "-214748364.8%"},
  };
  for (const Case& c : cases) {
    dwx::mixer_id.set(0);
    EXPECT_STREQ(c.decibels, dwx::level_text(c.level).c_str()) << "level " << c.level;
    dwx::mixer_id.set(2);
    EXPECT_STREQ(c.per_cent, dwx::level_text(c.level).c_str()) << "level " << c.level;
  }
  dwx::mixer_id.set(0);
}

}  // namespace
