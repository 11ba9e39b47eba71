// The slider registry: who hears of a new level, and how often.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "backend/backend_fixture.h"
#include "backend/slider_registry.h"

namespace {

class SliderRegistryTest : public BackendTest {
 protected:
  dwx::SliderRegistry registry;
  RecordingSlider first, second;
};

TEST_F(SliderRegistryTest, AnEmptyRegistryBroadcastsNothing) {
  registry.broadcast(500);
  registry.remove(first.window());
  registry.broadcast(600);
  EXPECT_TRUE(first.positions().empty());
}

TEST_F(SliderRegistryTest, EachEntryGetsTheLevelWithRedrawInRegistrationOrder) {
  registry.add(first.window());
  registry.add(second.window());
  registry.broadcast(707);
  EXPECT_EQ(std::vector<std::string>{"1:707"}, first.positions());
  EXPECT_EQ(std::vector<std::string>{"1:707"}, second.positions());
}

TEST_F(SliderRegistryTest, AWindowRegisteredTwiceHearsTwiceAndLeavesAtOnce) {
  registry.add(first.window());
  registry.add(second.window());
  registry.add(first.window());
  registry.broadcast(1);
  EXPECT_EQ(2u, first.positions().size());
  EXPECT_EQ(1u, second.positions().size());

  registry.remove(first.window());
  first.clear();
  second.clear();
  registry.broadcast(2);
  EXPECT_TRUE(first.positions().empty());
  EXPECT_EQ(std::vector<int>{2}, second.levels());
}

TEST_F(SliderRegistryTest, RemovingAStrangerChangesNothing) {
  RecordingSlider stranger;
  registry.add(first.window());
  registry.add(second.window());
  registry.remove(stranger.window());
  registry.broadcast(3);
  EXPECT_EQ(std::vector<int>{3}, first.levels());
  EXPECT_EQ(std::vector<int>{3}, second.levels());
}

TEST_F(SliderRegistryTest, ManyWindowsComeAndGoInOrder) {
  std::vector<std::unique_ptr<RecordingSlider>> sliders;
  for (int i = 0; i < 40; ++i) {
    sliders.push_back(std::make_unique<RecordingSlider>());
    registry.add(sliders.back()->window());
  }
  for (int i = 0; i < 40; i += 2)
    registry.remove(sliders[i]->window());
  registry.broadcast(9);
  for (int i = 0; i < 40; ++i) {
    EXPECT_EQ(i % 2 == 0 ? 0u : 1u, sliders[i]->positions().size()) << i;
  }
}

}  // namespace
