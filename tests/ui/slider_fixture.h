// The component loaded and started in the stand-in host, with its slider
// windows placed in the host's main window the way the layout places them.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "component/component_fixture.h"
#include "standin_host/extension_window.h"
#include "support/import_table.h"
#include "support/message_sequence.h"
#include "ui/component_calls.h"

class SliderTest : public ComponentTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The configuration the component starts with.
  virtual std::vector<uint8_t> configuration() { return {}; }
  // Runs after the load and before the start: the place for import patches
  // that must see the first volume access.
  virtual void before_start() {}
  // Runs once the test's objects are released, before the unload: whatever
  // patches the component's image must go here.
  virtual void before_unload() {}

  // A new object of that type from the component's factories. The fixture
  // releases it at the end unless the test takes it over (`owned` false).
  standin::ExtensionWindowView new_window_object(unsigned type, bool owned = true);
  // Creates the object's host window (or moves it) into `parent`, the
  // container unless given, then sizes and shows it as the layout does.
  HWND place(standin::ExtensionWindowView& object, RECT where, HWND parent = nullptr,
             standin::ExtensionHostObject* holder = nullptr);

  // The host's volume sets in hundredths of a decibel, for these levels.
  static std::vector<int> hdb_for(std::vector<int> levels);
  // The host's volume set to what shows as `level` on a slider.
  void set_host_level(int level);

  // Where the layout puts the sliders: a top-level window of the host's,
  // shared by all tests; each test leaves it empty.
  HWND container = nullptr;
  // Points one of the component's imports at a replacement until the end of
  // the test (after its objects are released, before the unload).
  testing_support::ImportPatch& patch(const char* dll, const char* function,
                                      const void* replacement);

  // From now on the component cannot create windows of that class (named
  // as the component names it); its other windows are created as usual.
  void refuse_windows_of(const char* class_name);
  void refuse_trackbars() { refuse_windows_of("msctls_trackbar32"); }

  standin::ExtensionHostObject layout;
  std::unique_ptr<ComponentCalls> calls;

 private:
  std::vector<standin::ExtensionWindowView> owned_;
  std::vector<std::unique_ptr<testing_support::ImportPatch>> patches_;
};

// The trackbar inside a slider's host window, or null.
HWND trackbar_in(HWND host_window);
// The tracking tooltip whose tool is a toolbar's host window, or null.
HWND tooltip_of(HWND host_window);
// The text of the tooltip's tool for that window, read back from the control.
std::string tooltip_text(HWND tooltip, HWND tool_window);
int trackbar_pos(HWND trackbar);
RECT channel_rect(HWND trackbar);
RECT thumb_rect(HWND trackbar);
// The tooltip's decibel text for a level with the host's own volume.
std::string db_text(int level);
bool class_registered(HMODULE module, const wchar_t* class_name);

extern const wchar_t toolbar_class_name[];
extern const wchar_t panel_class_name[];
