// The shell with a long toolbar slider, and the sound it writes.
#include "sound/toolbar_fixture.h"

#include <commctrl.h>

#include <cmath>

#include "shell/text.h"

namespace sound_testing {

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
  if (HasFatalFailure()) return;  // no window to find the slider in
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

void ToolbarSoundTest::command(const GUID& guid) {
  for (const shell::Command& each : session->commands()) {
    if (IsEqualGUID(each.guid, guid)) {
      SendMessageW(window->window(), WM_COMMAND, window->command_id(each.index), 0);
    }
  }
}

void ToolbarSoundTest::press(const wchar_t* caption) {
  const HWND button = FindWindowExW(window->window(), nullptr, L"BUTTON", caption);
  ASSERT_NE(nullptr, button) << shell::narrow(caption);
  SendMessageW(button, BM_CLICK, 0, 0);
}

void ToolbarSoundTest::panel_key(WPARAM key) {
  const HWND panel = window->extension_window(shell::SliderKind::panel);
  const HWND panel_trackbar = FindWindowExW(panel, nullptr, TRACKBAR_CLASSW, nullptr);
  ASSERT_NE(nullptr, panel_trackbar);
  SendMessageW(panel_trackbar, WM_KEYDOWN, key, 0);
  SendMessageW(panel_trackbar, WM_KEYUP, key, 0);
}

}  // namespace sound_testing
