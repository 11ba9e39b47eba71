// Opening a winmm mixer control, reading and writing it, and hearing of its changes.
#include "backend/mixer_connection.h"

#include "backend/host_volume.h"
#include "backend/slider_registry.h"
#include "diagnostics/notice_log.h"
#include "diagnostics/window_failure.h"
#include "frame/component_state.h"
#include "host/utf8api.h"
#include "text/format.h"
#include "text/system_error.h"

namespace dwx {

namespace {

void report_mixer_error(const char* format, MMRESULT result) {
  Utf8String reason = winmm_error_text(result);
  notice_log.error(format_text(format, reason.c_str()).c_str());
}

void report_mixer_warning(const char* format, MMRESULT result) {
  Utf8String reason = winmm_error_text(result);
  notice_log.warning(format_text(format, reason.c_str()).c_str());
}

MIXERCONTROLDETAILS value_details(uint32_t control_id, MIXERCONTROLDETAILS_UNSIGNED* value) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control_id;
  details.cChannels = 1;  // read and written as one uniform value
  details.cMultipleItems = 0;
  details.cbDetails = sizeof *value;
  details.paDetails = value;
  return details;
}

HMIXEROBJ as_object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace

MixerConnection::~MixerConnection() {
  if (!process_ending()) open(0, 0);
}

bool MixerConnection::open(uint32_t device, uint32_t control) {
  if (mixer_ != nullptr) {
    mixerClose(mixer_);
    mixer_ = nullptr;
  }
  if (device == 0) {
    destroy_callback_window();
    return true;
  }
  // A device equal to the count is the last one.
  if (device > mixerGetNumDevs()) return false;
  if (callback_window_ == nullptr && !create_callback_window()) return false;
  return open_mixer(device, control);
}

bool MixerConnection::create_callback_window() {
  const ATOM atom = window_class().acquire();
  if (atom == 0) {
    report_window_failure("Failed to register mixer callback window class - %s");
    return false;
  }
  HostApi* host = host_api();
  // Owned by the host's main window, never shown: it only receives notifications.
  callback_window_ =
      uCreateWindowEx(0, MAKEINTATOM(atom), "uninteresting", 0, 0, 0, 0, 0,
                      host ? host->main_window() : nullptr, nullptr, module_instance(), this);
  if (callback_window_ == nullptr) {
    report_window_failure("Failed to create mixer callback window - %s");
    window_class().release();
    return false;
  }
  return true;
}

void MixerConnection::destroy_callback_window() {
  HWND window = callback_window_;
  if (window == nullptr) return;
  // Forgotten first, so that its WM_NCDESTROY finds nothing to forget.
  // Another thread's window (the unload may come on any thread) is left
  // harmless instead.
  callback_window_ = nullptr;
  let_go_of_window(window);
  window_class().release();
}

void MixerConnection::forget_callback_window() {
  callback_window_ = nullptr;
  window_class().release();
}

bool MixerConnection::open_mixer(uint32_t device, uint32_t control) {
  const char* failure = nullptr;
  MMRESULT result = mixerOpen(&mixer_, device - 1, reinterpret_cast<DWORD_PTR>(callback_window_), 0,
                              CALLBACK_WINDOW);
  if (result != MMSYSERR_NOERROR) {
    mixer_ = nullptr;
    failure = "mixerOpen failed - %s";
  }

  MIXERLINEA line;
  if (failure == nullptr) {
    line = {};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
    result = mixerGetLineInfoA(as_object(mixer_), &line,
                               MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE);
    if (result != MMSYSERR_NOERROR) {
      failure = "mixerGetLineInfo failed to enumerate master volume control - %s";
    }
  }
  // A control above the number of source lines quietly means the speaker line.
  if (failure == nullptr && control >= 1 && control <= line.cConnections) {
    line = {};
    line.cbStruct = sizeof line;
    line.dwSource = control - 1;
    line.dwDestination = 0;  // source lines are always taken from destination 0
    result = mixerGetLineInfoA(as_object(mixer_), &line,
                               MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_SOURCE);
    if (result != MMSYSERR_NOERROR) {
      failure = "mixerGetLineInfo failed to enumerate source control - %s";
    }
  }

  MIXERCONTROLA volume;
  if (failure == nullptr) {
    MIXERLINECONTROLSA controls = {};
    controls.cbStruct = sizeof controls;
    controls.dwLineID = line.dwLineID;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof volume;
    controls.pamxctrl = &volume;
    result = mixerGetLineControlsA(as_object(mixer_), &controls,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE);
    if (result != MMSYSERR_NOERROR) failure = "mixerGetLineControls failed - %s";
  }

  if (failure != nullptr) {
    if (mixer_ != nullptr) {
      mixerClose(mixer_);
      mixer_ = nullptr;
    }
    // A window kept from an earlier open goes too: nothing is left half open.
    destroy_callback_window();
    report_mixer_error(failure, result);
    return false;
  }
  bounds_ = ControlRange{volume.Bounds.dwMinimum, volume.Bounds.dwMaximum};
  control_id_ = volume.dwControlID;
  return true;
}

bool MixerConnection::read_level(VolumeLevel* level) {
  if (mixer_ == nullptr) {
    *level = hdb_to_level(host_get_volume());
    return true;
  }
  MIXERCONTROLDETAILS_UNSIGNED value = {};
  MIXERCONTROLDETAILS details = value_details(control_id_, &value);
  const MMRESULT result = mixerGetControlDetailsA(
      as_object(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    report_mixer_warning("mixerGetControlDetails failed in GetVolume - %s", result);
    return false;
  }
  *level = bounds_.level_at(value.dwValue);
  return true;
}

void MixerConnection::write_level(VolumeLevel level) {
  if (mixer_ == nullptr) {
    host_set_volume(level_to_hdb(level));
    return;
  }
  MIXERCONTROLDETAILS_UNSIGNED value = {};
  value.dwValue = bounds_.value_for(level);
  MIXERCONTROLDETAILS details = value_details(control_id_, &value);
  const MMRESULT result = mixerSetControlDetails(
      as_object(mixer_), &details, MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE);
  if (result != MMSYSERR_NOERROR) {
    report_mixer_warning("mixerSetControlDetails failed in SetVolume - %s", result);
  }
}

LRESULT MixerConnection::handle_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  // Destroyed from outside: the host's main window, its owner, went.
  if (message == WM_NCDESTROY && window == callback_window_) forget_callback_window();
  if (message == MM_MIXM_CONTROL_CHANGE && mixer_ != nullptr &&
      reinterpret_cast<HMIXER>(wparam) == mixer_ && static_cast<uint32_t>(lparam) == control_id_) {
    VolumeLevel level;
    if (read_level(&level)) slider_registry.broadcast(level);
  }
  return uDefWindowProc(window, message, wparam, lparam);
}

}  // namespace dwx
