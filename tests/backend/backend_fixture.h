// The component's own objects, linked into this test program, driven directly.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin_host/host.h"
#include "support/system_texts.h"

namespace dwx {
class MixerConnection;
class VolumeBackend;
}  // namespace dwx

// A window that stands in for a slider: it records every position it is sent.
class RecordingSlider {
 public:
  RecordingSlider();
  ~RecordingSlider();
  RecordingSlider(const RecordingSlider&) = delete;
  RecordingSlider& operator=(const RecordingSlider&) = delete;

  HWND window() const { return window_; }
  // Every TBM_SETPOS as "wparam:lparam", in order.
  std::vector<std::string> positions() const;
  std::vector<int> levels() const;
  void clear();

 private:
  static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  HWND window_;
  std::vector<std::pair<WPARAM, LPARAM>> received_;
};

// One host for the whole program: the component's objects live as long as
// the program does. Each test starts with the host's own volume selected, no
// mixer open, the host ready and nothing recorded.
class BackendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // Console lines as "level|text".
  std::vector<std::string> console() const;
  // Messages pending for this thread's windows are handled.
  static void flush_events();

  static standin::Host* host;
};

// The level a read gives, or read_failed.
constexpr int read_failed = -1;
int level_read(dwx::MixerConnection& connection);
int level_read(dwx::VolumeBackend& backend);

using testing_support::system_text;
using testing_support::winmm_text;
