// Loading a fresh component for each test, and opening its page.
#include "component/component_fixture.h"

#include "utf8api_testing.h"

void ComponentTest::SetUp() { ASSERT_TRUE(player.load()) << player.error(); }

void ComponentTest::TearDown() {
  utf8api_set_unicode(-1);
  player.close();
}

HWND ComponentTest::open_page(const std::vector<uint8_t>& blob) {
  player.start(blob);
  page = player.open_page();
  return page;
}

testing_support::ScriptedMixer& ComponentTest::script_mixer() {
  mixer = &player.attach<testing_support::ScriptedMixer>();
  EXPECT_TRUE(mixer->applied());
  return *mixer;
}

testing_support::MixerSpy& ComponentTest::spy_on_mixer() {
  spy = &player.attach<testing_support::MixerSpy>();
  EXPECT_TRUE(spy->applied());
  return *spy;
}
