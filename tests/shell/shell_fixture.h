// The shell in this test program: the real component in the player and its
// main window on the test display, with a configuration file of its own.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/main_window.h"
#include "shell/component_session.h"
#include "support/message_boxes.h"
#include "support/message_sequence.h"

namespace shell_testing {

// A path in the temporary folder, with nothing there yet.
std::wstring temporary_path(const wchar_t* name);
void write_file(const std::wstring& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> read_file(const std::wstring& path);

// The label of the checked entry in the placement menu of the extension
// window named `name`, or "" when none is checked.
std::string checked_placement(HMENU menu, const std::string& name);
// The command identifier of the menu entry labelled `label` (before any Tab
// or accelerator text, without its '&'), anywhere in `menu`; 0 when none.
UINT command_labelled(HMENU menu, const std::string& label);

class ShellTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Loads the component with `config` and opens the main window.
  void start();
  // Closes the main window as its caption button does: it saves and unloads.
  void close();

  std::wstring config;
  std::unique_ptr<shell::ComponentSession> session;
  std::unique_ptr<shell::MainWindow> window;
  testing_support::MessageBoxRecorder boxes;
};

}  // namespace shell_testing
