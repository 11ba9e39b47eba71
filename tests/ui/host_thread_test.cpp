// The host reporting its volume on a thread of its own, under a lock of its
// own, while the sliders' thread drags and so waits for that lock: neither
// thread may wait for the other for ever, and the last level wins.
#include <windows.h>

#include <atomic>
#include <thread>

#include "backend/volume_scale.h"
#include "support/watchdog.h"
#include "ui/toolbar_fixture.h"

namespace {

TEST_F(ToolbarTest, HostReportsUnderItsOwnLockDuringADragNeitherHangNorGetLost) {
  testing_support::Watchdog watchdog(60000);
  standin::ExtensionWindowView panel = new_window_object(standin::extension_window::type_panel);
  HWND panel_window = place(panel, RECT{10, 60, 60, 260});
  ASSERT_NE(nullptr, panel_window);
  host.callbacks_under_lock = true;

  constexpr int final_hdb = -1000;
  std::atomic<bool> drag_done{false};
  std::thread reporter([&] {
    for (int i = 0; i < 300; ++i)
      host.change_volume(-(i % 60) * 100);
    while (!drag_done)
      Sleep(1);
    host.change_volume(final_hdb);
  });
  // Every move sets the volume, so takes the host's lock.
  press(x_for(0));
  for (int step = 1; step <= 300; ++step) {
    move(x_for(step * 3));
    testing_support::flush_events();
  }
  release(x_for(900));
  drag_done = true;
  while (host.volume() != final_hdb) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    testing_support::flush_events();
  }
  reporter.join();
  testing_support::flush_events();
  host.callbacks_under_lock = false;

  const int level = dwx::hdb_to_level(final_hdb);
  EXPECT_EQ(level, trackbar_pos(trackbar));
  EXPECT_EQ(1000 - level, trackbar_pos(trackbar_in(panel_window)));
}

}  // namespace
