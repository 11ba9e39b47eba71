// A mixer that follows a script, put in place of winmm in a loaded module's import table.
#pragma once

#include <windows.h>

#include <mmsystem.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/import_table.h"

namespace testing_support {

// For what Wine's own mixer cannot be made to do: failures at any step,
// other bounds, names outside Latin-1, notifications on demand.
struct ScriptedLine {
  std::wstring name;
  std::wstring short_name;  // empty: the same as the name
  DWORD line_id = 0;
  DWORD control_id = 0;
  DWORD minimum = 0;
  DWORD maximum = 65535;
  DWORD value = 0;
  MMRESULT query_result = MMSYSERR_NOERROR;     // mixerGetLineInfo for this line
  MMRESULT controls_result = MMSYSERR_NOERROR;  // mixerGetLineControls for its volume
};

struct ScriptedDevice {
  std::wstring name;
  MMRESULT caps_result = MMSYSERR_NOERROR;
  MMRESULT id_result = MMSYSERR_NOERROR;
  MMRESULT open_result = MMSYSERR_NOERROR;
  ScriptedLine speakers;
  std::vector<ScriptedLine> sources;
  // A driver that claims more source lines than it has: the speaker line
  // reports this many, and each source past the scripted ones answers as the
  // last of them. 0: the number scripted.
  DWORD claimed_sources = 0;
};

class ScriptedMixer {
 public:
  // Takes over the winmm mixer imports of `module` for as long as it lives.
  explicit ScriptedMixer(HMODULE module);
  ~ScriptedMixer();

  bool applied() const;

  // A device like Wine's "Out: default": speakers 0..65535 and `sources`
  // source lines, control ids 100 (speakers), 101, 102... (sources).
  static ScriptedDevice device(const wchar_t* name, int sources = 1);

  std::vector<ScriptedDevice> devices;
  MMRESULT details_get_result = MMSYSERR_NOERROR;
  MMRESULT details_set_result = MMSYSERR_NOERROR;
  // Runs at the start of every mixerGetControlDetailsA, on the caller's thread.
  std::function<void()> on_read;

  // Every call the module made, e.g. "mixerOpen(1)", "mixerClose(1)", while
  // record_calls is true.
  std::vector<std::string> calls;
  bool record_calls = true;
  int open_mixers() const { return open_count_; }
  // The handle and callback window of the open device, or null.
  HMIXER handle_of(size_t device) const;
  HWND callback_window() const { return callback_window_; }
  // The control's value as the module last wrote it, by control id.
  DWORD value_of(DWORD control_id) const;
  void set_value(DWORD control_id, DWORD value);

 private:
  friend struct ScriptedMixerCalls;
  ScriptedDevice* device_of(HMIXEROBJ object, DWORD flags, MMRESULT* error);
  ScriptedLine* line_with_control(DWORD control_id);

  std::vector<std::unique_ptr<ImportPatch>> patches_;
  std::vector<bool> open_;
  int open_count_ = 0;
  HWND callback_window_ = nullptr;
};

}  // namespace testing_support
