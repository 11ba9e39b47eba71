// The real component loaded in the stand-in host, with its sliders placed in a host window.
#pragma once

#include <windows.h>

#include <string>

#include "player/player.h"
#include "quiet_windows.h"
#include "support/heap_calls.h"
#include "support/scripted_mixer.h"

namespace bench {

enum class Controls { real, quiet };

// One player session: the component started with the host's own volume or
// a scripted mixer as its target, and `sliders` sliders: first the toolbar
// the bench drives, then panels and toolbars in turn. With quiet controls
// every trackbar and tooltip the component creates is a quiet window.
class Session {
 public:
  Session(Controls controls, int sliders, bool mixer);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Empty when the session is ready.
  const std::string& error() const { return error_; }

  HMODULE module() const { return player_.module(); }
  standin::Host& host() { return player_.host; }
  testing_support::HeapCalls& heap() { return *heap_; }
  testing_support::ScriptedMixer* mixer() { return mixer_; }
  void* menu_items() { return player_.commands().service(); }
  // The driven toolbar's trackbar, in a host window 440 by 30 pixels.
  HWND trackbar() const { return trackbar_; }
  // Where the baseline's windows go: beside the component's, the same size.
  HWND twin_parent() const { return twin_parent_; }

  // The host volume the session starts at, in hundredths of a decibel.
  static constexpr int start_hdb = -1000;
  // The control the scripted mixer's speaker line has.
  static constexpr DWORD mixer_control = 100;

 private:
  bool place_sliders(int count);

  // Made before the player, which places the sliders in the first.
  HWND container_;
  HWND twin_parent_;
  player::Player player_;
  testing_support::HeapCalls* heap_ = nullptr;
  QuietControls* quiet_ = nullptr;
  testing_support::ScriptedMixer* mixer_ = nullptr;
  HWND trackbar_ = nullptr;
  std::string error_;
};

}  // namespace bench
