// The component loaded for each test and started in the player harness, its
// sliders placed the way the layout places them, and the measured toolbar.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "player/player.h"
#include "support/import_table.h"
#include "support/message_sequence.h"
#include "ui/component_calls.h"

using player::channel_rect;
using player::thumb_rect;
using player::tooltip_of;
using player::tooltip_text;
using player::trackbar_in;
using player::trackbar_pos;

// Every fixture of the ui tests derives from this one directly.
class SliderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The library the test loads: the component itself, unless the test needs
  // a copy of its own.
  virtual std::wstring library_path() { return L"dwx_volume.dll"; }
  // The configuration the component starts with.
  virtual std::vector<uint8_t> configuration() { return {}; }
  // Runs after the load and before the start: the place for import patches
  // that must see the first volume access.
  virtual void before_start() {}
  // Runs once the test's objects are released, before the unload.
  virtual void before_unload() {}

  // A new object of that type from the component's factories. The fixture
  // releases it at the end unless the test takes it over (`owned` false).
  standin::ExtensionWindowView new_window_object(unsigned type, bool owned = true) {
    return player.new_window_object(type, owned);
  }
  // Creates the object's host window (or moves it) into `parent`, the
  // container unless given, then sizes and shows it as the layout does.
  HWND place(standin::ExtensionWindowView& object, RECT where, HWND parent = nullptr,
             standin::ExtensionHostObject* holder = nullptr) {
    return player.place(object, where, parent, holder);
  }

  // The host's volume sets in hundredths of a decibel, for these levels.
  static std::vector<int> hdb_for(std::vector<int> levels);
  // The host's volume set to what shows as `level` on a slider.
  void set_host_level(int level);
  // The console lines the component printed, as "level|source|text".
  std::vector<std::string> console() const { return player.console(); }

  // Points one of the component's imports at a replacement until the end of
  // the test (after its objects are released, before the unload).
  testing_support::ImportPatch& patch(const char* dll, const char* function,
                                      const void* replacement) {
    return player.attach<testing_support::ImportPatch>(dll, function, replacement);
  }
  // From now on the component cannot create windows of that class (named
  // as the component names it); its other windows are created as usual.
  void refuse_windows_of(const char* class_name);
  void refuse_trackbars() { refuse_windows_of("msctls_trackbar32"); }

  // The measured toolbar: placed with utf8api answering IsUnicode() with
  // `unicode` (1 wide, 0 ANSI), sized so that its drag span is exactly 1000
  // pixels, one per level, so a drag to span_left + L sets level L. The
  // numbers are worked out by hand from the slider's rules and Wine's
  // trackbar, which this checks. The focus then sits in an edit box of the
  // host's, and nothing is recorded yet.
  void place_toolbar(int unicode = 1);
  // Client x on the trackbar where a drag gives `level`.
  int x_for(int level) const { return span_left + level; }
  LPARAM at(int x) const { return MAKELPARAM(x, y); }
  POINT screen_point(int x) const;
  // The messages Windows would send the trackbar, with the button state in wParam.
  LRESULT press(int x) { return to_trackbar(WM_LBUTTONDOWN, MK_LBUTTON, at(x)); }
  LRESULT move(int x) { return to_trackbar(WM_MOUSEMOVE, MK_LBUTTON, at(x)); }
  LRESULT release(int x) { return to_trackbar(WM_LBUTTONUP, 0, at(x)); }
  LRESULT right_up(int x) { return to_trackbar(WM_RBUTTONUP, 0, at(x)); }
  LRESULT to_trackbar(UINT message, WPARAM wparam, LPARAM lparam) {
    return SendMessageW(trackbar, message, wparam, lparam);
  }
  LRESULT escape() { return SendMessageW(toolbar_window, WM_KEYDOWN, VK_ESCAPE, 0x00010001); }
  // Where the focus sits before a drag borrows it.
  void focus_elsewhere() { SetFocus(focus_holder); }
  // The sends the component made to the tooltip since the last clear, and
  // how often it passed a message on to the trackbar's own procedure.
  testing_support::MessageSequence to_tooltip(HWND tooltip) const {
    return calls->sent_to(tooltip);
  }
  size_t passed_on(UINT message) const { return calls->passed_on(trackbar).count(message); }

  player::Player player;
  standin::Host& host = player.host;
  standin::LoadedComponent& component = player.component;
  testing_support::MessageBoxRecorder& message_boxes = player.message_boxes;
  // The layout host that holds every slider placed without a holder of its own.
  standin::ExtensionHostObject& layout = player.layout;
  // Where the layout puts the sliders: a top-level window of the host's,
  // shared by all tests; each test leaves it empty.
  HWND container = player.container;
  // What the component sends, passes on and destroys, from the load on.
  ComponentCalls* calls = nullptr;

  standin::ExtensionWindowView toolbar;
  HWND toolbar_window = nullptr;
  HWND trackbar = nullptr;
  HWND focus_holder = nullptr;
  // Wine's trackbar, 30 pixels high, keeps its channel 8 pixels in from
  // each end, and has an 11-pixel thumb. A drag spans the channel less 5
  // pixels, half the thumb, at each end.
  static constexpr int window_width = 1026;
  static constexpr int channel_left = 8, channel_right = 1018;
  static constexpr int span_left = 13, span_right = 1013;
  static_assert(span_right - span_left == 1000, "one pixel per level");
  int y = 0;
  // The toolbar host window's scroll, focus and context-menu messages.
  std::unique_ptr<testing_support::WindowSpy> host_spy;
};

// A test of the measured toolbar, placed before the test begins.
class ToolbarTest : public SliderTest {
 protected:
  void SetUp() override {
    SliderTest::SetUp();
    if (!HasFatalFailure()) place_toolbar();
  }
};

bool class_registered(HMODULE module, const wchar_t* class_name);

extern const wchar_t toolbar_class_name[];
extern const wchar_t panel_class_name[];
