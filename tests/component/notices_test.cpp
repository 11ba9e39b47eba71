// The component's notices as the host sees them: queued before it is ready,
// flushed or discarded by the init/quit hook, and shown in one box at unload.
#include <memory>
#include <string>

#include "component/component_fixture.h"
#include "standin_host/abi.h"
#include "standin_host/menu_items.h"
#include "support/blob.h"
#include "support/scripted_mixer.h"
#include "support/watchdog.h"
#include "utf8api_testing.h"

namespace {

using testing_support::BlobBuilder;
using testing_support::ScriptedMixer;
namespace guids = standin::guids;

constexpr unsigned volume_up = 0;

class NoticesTest : public ComponentTest {
 protected:
  void TearDown() override {
    mixer.reset();  // while the module's import table is still mapped
    ComponentTest::TearDown();
  }

  // Anything that reaches the volume: the first one opens the configured target.
  void press_volume_up() {
    standin::MenuItems menu(component.create_service(guids::menu_item));
    menu.perform(volume_up);
  }
  void hook(unsigned operation) {
    void* service = component.create_service(guids::init_quit);
    ASSERT_NE(nullptr, service);
    standin::call_slot<void>(service, operation);
  }

  std::unique_ptr<ScriptedMixer> mixer;
};

// Wine's "In: default": opening it fails at its speaker line, for real.
const std::string input_device_failure =
    "mixerGetLineInfo failed to enumerate master volume control - ";

TEST_F(NoticesTest, WarningsFromBeforeTheHostWasReadyArePrintedInOrderByTheHook) {
  mixer = std::make_unique<ScriptedMixer>(component.module());
  mixer->devices = {ScriptedMixer::device(L"Speakers")};
  mixer->details_get_result = MMSYSERR_NOMEM;
  mixer->details_set_result = MMSYSERR_INVALHANDLE;
  component.read_config(BlobBuilder().record("mixer_id", 1));
  component.set_module_strings("C:\\player\\components\\dwx_volume.dll", "dwx_volume");

  // The open reads the level to show it, the command reads it again: both
  // fail, and the command goes no further. Once the level reads, the write
  // fails.
  press_volume_up();
  mixer->details_get_result = MMSYSERR_NOERROR;
  press_volume_up();
  EXPECT_TRUE(console().empty()) << "the host is not ready yet";

  component.set_services_ready(true);
  hook(standin::init_quit::on_init);
  EXPECT_EQ(
      (std::vector<std::string>{"2|dwx_volume|mixerGetControlDetails failed in GetVolume - ",
                                "2|dwx_volume|mixerGetControlDetails failed in GetVolume - ",
                                "2|dwx_volume|mixerSetControlDetails failed in SetVolume - "}),
      console());

  // Once ready, a new notice goes straight to the console.
  press_volume_up();
  EXPECT_EQ(4u, console().size());
  EXPECT_EQ(0, host.console_references()) << "every console reference is given back";
  component.unload();
  EXPECT_TRUE(message_boxes.calls.empty());
}

TEST_F(NoticesTest, AnErrorStillQueuedAtUnloadIsShownInOneBox) {
  component.read_config(BlobBuilder().record("mixer_id", 2));
  press_volume_up();
  EXPECT_EQ(0, testing_support::blob_values(component.write_config()).at("mixer_id"))
      << "the host's own volume is used from now on";
  EXPECT_FALSE(host.volume_sets().empty()) << "and the command reached it";

  component.unload();
  ASSERT_EQ(1u, message_boxes.calls.size());
  EXPECT_EQ("error: " + input_device_failure, message_boxes.calls[0].text);
  EXPECT_EQ("DWX Volume notices", message_boxes.calls[0].caption);
  EXPECT_EQ(0u, message_boxes.calls[0].flags);
  EXPECT_EQ(nullptr, message_boxes.calls[0].owner);
  EXPECT_TRUE(host.console_lines().empty());
}

// Stands in for a box at the end of a process: one would keep the process
// from ending, so the process ends at once, with another code.
int __cdecl end_with_code_77(void*, HWND, const char*, const char*, UINT) {
  TerminateProcess(GetCurrentProcess(), 77);
  return IDOK;
}

// A process that ends with notices still queued takes them along: its other
// threads are gone and user32 may be partly torn down, so no box may hold it.
TEST_F(NoticesTest, AProcessEndingWithNoticesQueuedShowsNoBoxAndKeepsItsExitCode) {
  testing_support::Watchdog watchdog(60000);
  EXPECT_EXIT(
      {
        component.read_config(BlobBuilder().record("mixer_id", 2));
        press_volume_up();  // queues the error
        utf8api_set_message_box_hook(&end_with_code_77, nullptr);
        ExitProcess(42);
      },
      ::testing::ExitedWithCode(42), "");
}

TEST_F(NoticesTest, TheHooksThirdOperationDiscardsWhatIsQueued) {
  component.read_config(BlobBuilder().record("mixer_id", 2));
  press_volume_up();
  hook(standin::init_quit::on_second);  // does nothing
  hook(standin::init_quit::on_quit);
  component.set_services_ready(true);
  hook(standin::init_quit::on_init);
  component.unload();
  EXPECT_TRUE(host.console_lines().empty());
  EXPECT_TRUE(message_boxes.calls.empty());
}

}  // namespace
