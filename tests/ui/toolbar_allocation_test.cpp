// A toolbar drag, press to release, and the change from outside that every
// slider follows make no heap call in the component once the press is done:
// with the host's volume in decibels and a wide tooltip, and with a mixer in
// per cent and an ANSI one.
#include <windows.h>

#include <ostream>
#include <string>

#include "support/blob.h"
#include "support/heap_calls.h"
#include "support/scripted_mixer.h"
#include "ui/slider_fixture.h"

namespace {

using testing_support::ScriptedMixer;

struct DragCase {
  const char* name;
  int unicode;
  bool mixer;
};
void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class ToolbarAllocationTest : public SliderTest, public ::testing::WithParamInterface<DragCase> {
 protected:
  std::vector<uint8_t> configuration() override {
    if (!GetParam().mixer) return {};
    return testing_support::BlobBuilder().record("mixer_id", 1);
  }
  void before_start() override {
    if (!GetParam().mixer) return;
    mixer = &player.attach<ScriptedMixer>();
    ASSERT_TRUE(mixer->applied());
    mixer->devices = {ScriptedMixer::device(L"Out: scripted")};
  }
  void SetUp() override {
    SliderTest::SetUp();
    if (!HasFatalFailure()) place_toolbar(GetParam().unicode);
  }

  ScriptedMixer* mixer = nullptr;
};

// Every heap call the component's image makes goes through its imports,
// free(nullptr) counted too: it is still a call into the runtime. A panel
// beside the toolbar hears every level too, and a change from outside ends
// the counted stretch: the host's own report, or the mixer's notification.
TEST_P(ToolbarAllocationTest, ADragAndAChangeFromOutsideAllocateNothing) {
  const player::Slider panel =
      player.add_slider(standin::extension_window::type_panel, RECT{1150, 10, 1180, 480});
  ASSERT_NE(nullptr, panel.trackbar);
  testing_support::HeapCalls& heap_calls = player.attach<testing_support::HeapCalls>();
  ASSERT_TRUE(heap_calls.applied());
  press(x_for(10));
  ASSERT_NE(nullptr, tooltip_of(toolbar_window));
  heap_calls.start();
  for (int i = 1; i <= 50; ++i)
    move(x_for(10 + 19 * i));
  EXPECT_EQ(GetParam().mixer ? "96.0%" : "-0.35 dB",
            tooltip_text(tooltip_of(toolbar_window), toolbar_window))
      << "the tooltip holds the text in the form utf8api chose";
  release(x_for(960));
  // A system mixer tells every handle open on it of a change, the drag's own too.
  auto mixer_tells = [this] {
    SendMessageW(mixer->callback_window(), MM_MIXM_CONTROL_CHANGE,
                 reinterpret_cast<WPARAM>(mixer->handle_of(0)), 100);
  };
  const int dragged_to = trackbar_pos(trackbar);
  if (mixer != nullptr) {
    EXPECT_EQ(62913u, mixer->value_of(100)) << "the last level reached the mixer";
    mixer_tells();
  } else {
    EXPECT_EQ(hdb_for({960}).back(), host.volume_sets().back())
        << "the last level reached the host";
  }
  const int dragged_panel = panel.level();
  if (mixer != nullptr) {
    mixer->set_value(100, 19660);  // level 300
    mixer_tells();
  } else {
    set_host_level(300);
  }
  EXPECT_EQ(0, heap_calls.stop());
  EXPECT_EQ(960, dragged_to) << "the drag went all the way";
  EXPECT_EQ(960, dragged_panel) << "and the panel followed it";
  EXPECT_EQ(300, trackbar_pos(trackbar));
  EXPECT_EQ(300, panel.level());
}

INSTANTIATE_TEST_SUITE_P(BothTextForms, ToolbarAllocationTest,
                         ::testing::Values(DragCase{"WideDecibels", 1, false},
                                           DragCase{"AnsiPerCent", 0, true}),
                         [](const ::testing::TestParamInfo<DragCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
