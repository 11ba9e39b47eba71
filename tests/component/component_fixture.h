// A fresh copy of the component for every test: loaded at the start, unloaded at the end.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "standin_host/host.h"
#include "standin_host/loaded_component.h"
#include "support/message_boxes.h"

class ComponentTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The console lines the component printed, as "level|source|text".
  std::vector<std::string> console() const;
  // The library the test loads: the component itself, unless the test needs
  // a copy of its own.
  virtual std::wstring library_path() { return L"dwx_volume.dll"; }

  standin::Host host;
  // Declared before the component: the unload's message box must be recorded.
  testing_support::MessageBoxRecorder message_boxes;
  standin::LoadedComponent component{host};
};
