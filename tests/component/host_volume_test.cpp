// The player's own volume when the player has no playback service to offer, then has one.
#include <algorithm>

#include "component/component_fixture.h"
#include "standin_host/menu_items.h"

namespace {

namespace guids = standin::guids;
constexpr unsigned volume_down = 1;

int playback_lookups(const standin::Host& host) {
  const std::vector<GUID> lookups = host.lookups();
  return static_cast<int>(std::count(lookups.begin(), lookups.end(), guids::playback_control));
}

TEST_F(ComponentTest, WithoutPlaybackControlTheVolumeReadsFullAndWritesAreDropped) {
  host.playback_available = false;
  host.change_volume(-602);
  component.start();
  standin::MenuItems menu(component.create_service(guids::menu_item));

  menu.perform(volume_down);  // reads full volume, so 985 is what it would set
  EXPECT_TRUE(host.volume_sets().empty());
  EXPECT_EQ(-602, host.volume());
  const int lookups = playback_lookups(host);
  EXPECT_GE(lookups, 2) << "looked for on every call while there is none";

  // Once the player offers it, the next call finds and keeps it.
  host.playback_available = true;
  menu.perform(volume_down);
  EXPECT_EQ(std::vector<int>{-628}, host.volume_sets()) << "level 500 less 15 is 485: -6.28 dB";
  menu.perform(volume_down);
  EXPECT_EQ(lookups + 1, playback_lookups(host)) << "found once, then kept";
}

}  // namespace
