// Fitting a saved main window onto the screens there are now, where the work
// area does not start at the monitor's top left.
#include "shell/screen.h"

#include <gtest/gtest.h>

namespace {

std::string text(const RECT& rect) {
  return "{" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ", " +
         std::to_string(rect.right) + ", " + std::to_string(rect.bottom) + "}";
}

// WINDOWPLACEMENT's workspace coordinates start at the top left of the work
// area: with a taskbar at the top or left they are the screen's moved by its
// size. A position seen on the screen comes back where it was.
TEST(Screen, ASavedNormalPositionComesBackWhereItWasSeen) {
  const RECT primary = {0, 0, 1024, 768}, beside = {1024, -200, 2048, 568};
  const RECT top_bar = {0, 40, 1024, 768}, left_bar = {60, 0, 1024, 768};
  const RECT beside_top_bar = {1024, -170, 2048, 568};
  const struct {
    const char* where;
    RECT monitor, work, saved, fitted;
  } cases[] = {
      {"at the top, taskbar at the top", primary, top_bar, {100, 0, 600, 400}, {100, 0, 600, 400}},
      {"at the left, taskbar at the left",
       primary,
       left_bar,
       {0, 100, 500, 500},
       {0, 100, 500, 500}},
      {"at the bottom, taskbar at the top",
       primary,
       top_bar,
       {100, 328, 600, 728},
       {100, 328, 600, 728}},
      {"below the work area", primary, top_bar, {100, 400, 600, 800}, {100, 328, 600, 728}},
      {"right of the work area", primary, left_bar, {700, 0, 1200, 300}, {464, 0, 964, 300}},
      {"larger than the work area", primary, top_bar, {-50, -50, 1500, 1000}, {0, 0, 1024, 728}},
      {"on a second monitor above the first",
       beside,
       beside_top_bar,
       {1100, -200, 1500, 100},
       {1100, -200, 1500, 100}},
      {"off a second monitor",
       beside,
       beside_top_bar,
       {1900, 500, 2300, 800},
       {1648, 238, 2048, 538}},
      {"no taskbar", primary, primary, {-10, 700, 390, 800}, {0, 668, 400, 768}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text(c.fitted), text(shell::fit_normal_position(c.saved, c.monitor, c.work)))
        << c.where;
  }
}

}  // namespace
