// The player session the soak repeats and the stress keeps open.
//
// The mixer device is a scripted one in winmm's place: Wine's own mixer
// grows by about 9 KB of committed memory with every mixerOpen, closed or
// not, and refuses its line queries after 256 opens in one process, so a
// run that opens a mixer a thousand times would measure Wine. The
// component's mixer code runs unchanged; the script counts the mixers left
// open.
#pragma once

#include <windows.h>

#include <cstdlib>
#include <string>

#include "player/player.h"
#include "support/scripted_mixer.h"

// The page's device list, as its dialog template numbers it.
constexpr int device_list = 1000;

// The component started on the player's own volume with one mixer device to
// switch to, both sliders placed and the preferences page open.
struct SoakSession {
  player::Player player;
  testing_support::ScriptedMixer* mixer = nullptr;
  player::Slider toolbar, panel;

  // Empty when everything is in place, else what is missing.
  std::string open() {
    if (!player.load()) return player.error();
    // In place before anything could reach winmm: the page lists its devices.
    mixer = &player.attach<testing_support::ScriptedMixer>();
    mixer->devices = {testing_support::ScriptedMixer::device(L"Speakers")};
    mixer->record_calls = false;
    player.start();
    toolbar = player.add_slider(standin::extension_window::type_toolbar, RECT{10, 10, 530, 40});
    panel = player.add_slider(standin::extension_window::type_panel, RECT{10, 60, 40, 300});
    if (toolbar.trackbar == nullptr || panel.trackbar == nullptr) return "a slider has no trackbar";
    if (player.commands().service() == nullptr) return "the component offers no commands";
    if (player.open_page() == nullptr) return "the preferences page was not created";
    return "";
  }
};

// A count given in the environment (the long runs set them), or `fallback`.
inline unsigned count_from_environment(const char* name, unsigned fallback) {
  char text[32] = {};
  const DWORD length = GetEnvironmentVariableA(name, text, sizeof text);
  if (length == 0 || length >= sizeof text) return fallback;
  const unsigned long value = strtoul(text, nullptr, 10);
  return value > 0 ? static_cast<unsigned>(value) : fallback;
}
