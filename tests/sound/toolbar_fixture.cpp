// The shell with a long toolbar slider, and the sound it writes.
#include "sound/toolbar_fixture.h"

#include <commctrl.h>

#include <cmath>

#include "shell/text.h"

namespace sound_testing {

namespace {

constexpr GUID mute_command = {
    0x41BF5822, 0x455E, 0x4F97, {0x9D, 0x82, 0xE5, 0xA6, 0x36, 0xB0, 0xF5, 0x19}};

}  // namespace

void hold(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    testing_support::flush_events();
    Sleep(10);
  } while (GetTickCount() - start < milliseconds);
}

std::vector<int16_t> read_samples(const std::wstring& path, uint64_t offset) {
  const std::vector<uint8_t> bytes = shell_testing::read_file(path);
  std::vector<int16_t> samples;
  for (size_t i = static_cast<size_t>(offset); i + 1 < bytes.size(); i += 2) {
    samples.push_back(static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8));
  }
  return samples;
}

double decibels(double amplitude_ratio) { return 20.0 * std::log10(amplitude_ratio); }

void ToolbarSoundTest::SetUp() {
  ShellTest::SetUp();
  // The toolbar floats, stretched to a pixel a level or more, so that a
  // click reaches any level. Its dock gives it a fixed length, and lays it
  // out again only when the frame is resized.
  window->place(shell::SliderKind::toolbar, shell::Placement::floating);
  const HWND frame =
      window->dock(shell::SliderKind::toolbar, shell::Placement::floating).container();
  const HWND toolbar = window->extension_window(shell::SliderKind::toolbar);
  ASSERT_NE(nullptr, toolbar);
  RECT rect = {};
  GetWindowRect(toolbar, &rect);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&rect), 2);
  SetWindowPos(frame, nullptr, 0, 0, 1240, 120, SWP_NOMOVE | SWP_NOZORDER);
  MoveWindow(toolbar, rect.left, rect.top, 1200, rect.bottom - rect.top, TRUE);
  testing_support::flush_events();
  trackbar = FindWindowExW(toolbar, nullptr, TRACKBAR_CLASSW, nullptr);
  ASSERT_NE(nullptr, trackbar);
  RECT client = {};
  GetClientRect(trackbar, &client);
  width = client.right;
  y = client.bottom / 2;
}

int ToolbarSoundTest::click(int x) {
  SendMessageW(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  SendMessageW(trackbar, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0));
}

// Each try starts with the thumb far away, as each step of a test does: a
// press on the thumb itself starts a drag of the trackbar's own, whose
// rounding may differ by a level.
int ToolbarSoundTest::x_of(int level) {
  int low = 0, high = width - 1;
  while (low < high) {
    const int middle = (low + high) / 2;
    click(middle < width / 2 ? width - 1 : 0);
    if (click(middle) < level) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return low;
}

void ToolbarSoundTest::space() {
  MSG key = {window->window(), WM_KEYDOWN, VK_SPACE, 0x00390001, GetTickCount(), {}};
  EXPECT_TRUE(window->translate(key));
}

void ToolbarSoundTest::mute() {
  for (const shell::Command& command : session->commands()) {
    if (IsEqualGUID(command.guid, mute_command)) {
      SendMessageW(window->window(), WM_COMMAND, window->command_id(command.index), 0);
    }
  }
}

}  // namespace sound_testing
