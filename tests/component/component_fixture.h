// A fresh copy of the component for every test, loaded into the player
// harness at the start and unloaded at the end, and its preferences page as
// the player's preferences window shows it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "player/player.h"
#include "support/mixer_spy.h"
#include "support/scripted_mixer.h"
#include "support/system_texts.h"

// Item ids of the page, as the dialog template gives them.
constexpr int device_list = 1000, control_list = 1001, control_label = 1002, internal_note = 1003;

using testing_support::winmm_text;

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The console lines the component printed, as "level|source|text".
  std::vector<std::string> console() const { return player.console(); }

  // Starts the player with that configuration and opens the page: the
  // player's preferences window creates it, places it and shows it.
  HWND open_page(const std::vector<uint8_t>& blob = {});
  // Makes a scripted mixer stand in for winmm, or a spy watch Wine's own.
  testing_support::ScriptedMixer& script_mixer();
  testing_support::MixerSpy& spy_on_mixer();

  HWND item(int id) const { return GetDlgItem(page, id); }
  std::vector<std::wstring> entries(int id) const { return player.entries(id); }
  int selection(int id) const { return player.selection(id); }
  // Whether the item itself is shown; the page's own visibility aside.
  bool shown(int id) const { return player.shown(id); }
  // What Windows does when the user picks an entry: the list changes its
  // selection and tells the page with WM_COMMAND(id, CBN_SELCHANGE).
  void choose(int id, int index) { EXPECT_TRUE(player.choose(id, index)) << id << ": " << index; }
  std::map<std::string, int32_t> stored() { return player.stored(); }

  player::Player player;
  standin::Host& host = player.host;
  testing_support::MessageBoxRecorder& message_boxes = player.message_boxes;
  standin::LoadedComponent& component = player.component;
  HWND page = nullptr;
  testing_support::ScriptedMixer* mixer = nullptr;
  testing_support::MixerSpy* spy = nullptr;
};
