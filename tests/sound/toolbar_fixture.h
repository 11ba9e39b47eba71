// The shell with its toolbar slider floating and stretched to a pixel a level
// or more, for the tests that hear the sound while the slider moves.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shell/shell_fixture.h"

namespace sound_testing {

// Runs the message loop for about `milliseconds`, as the shell's own would.
void hold(DWORD milliseconds);
// The 16-bit samples of a file of raw sound, from byte `offset` on.
std::vector<int16_t> read_samples(const std::wstring& path, uint64_t offset = 0);
double decibels(double amplitude_ratio);

class ToolbarSoundTest : public shell_testing::ShellTest {
 protected:
  void SetUp() override;

  // A press and a release at `x`, as Windows sends them; the level it gave.
  int click(int x);
  // The first x where a click gives `level` or more: levels grow with x.
  int x_of(int level);
  // Space pressed in the main window.
  void space();
  // One of the component's commands, from the menu.
  void command(const GUID& guid);
  // The shell's button with that caption pressed, as a click does.
  void press(const wchar_t* caption);
  // A key pressed on the panel slider's trackbar.
  void panel_key(WPARAM key);

  HWND trackbar = nullptr;
  int width = 0, y = 0;
};

}  // namespace sound_testing
