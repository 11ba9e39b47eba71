// The preferences page opened in the stand-in player's preferences window.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "component/component_fixture.h"
#include "standin_host/preferences.h"
#include "support/blob.h"
#include "support/mixer_spy.h"
#include "support/scripted_mixer.h"

// Item ids of the page, as the dialog template gives them.
constexpr int device_list = 1000, control_list = 1001, control_label = 1002, internal_note = 1003;

class PreferencesPageTest : public ComponentTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts the player with that configuration and opens the page: the
  // player's preferences window creates it, places it and shows it.
  HWND open_page(const testing_support::BlobBuilder& blob = {});
  // Makes a scripted mixer stand in for winmm, or a spy watch Wine's own.
  testing_support::ScriptedMixer& script_mixer();
  testing_support::MixerSpy& spy_on_mixer();

  HWND item(int id) const { return GetDlgItem(page, id); }
  // The texts of a list, read back as UTF-16 whatever form the list is.
  std::vector<std::wstring> entries(int id) const;
  int selection(int id) const;
  // Whether the item itself is shown; the page's own visibility aside.
  bool shown(int id) const;
  // What Windows does when the user picks an entry: the list changes its
  // selection and tells the page with WM_COMMAND(id, CBN_SELCHANGE).
  void choose(int id, int index);

  std::map<std::string, int32_t> stored() {
    return testing_support::blob_values(component.write_config());
  }
  // The text the system has for a winmm result code, as the component
  // should quote it (Wine's winmm has none: the empty string there).
  static std::string winmm_text(UINT code);

  std::unique_ptr<standin::PreferencesPage> page_service;
  standin::PreferencesWindow window;
  HWND page = nullptr;
  std::unique_ptr<testing_support::ScriptedMixer> mixer;
  std::unique_ptr<testing_support::MixerSpy> spy;
};
