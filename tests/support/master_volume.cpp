// Reading and setting a real mixer's speaker volume from the test program.
#include "support/master_volume.h"

namespace testing_support {

namespace {

MIXERCONTROLDETAILS value_details(DWORD control_id, MIXERCONTROLDETAILS_UNSIGNED* value) {
  MIXERCONTROLDETAILS details = {};
  details.cbStruct = sizeof details;
  details.dwControlID = control_id;
  details.cChannels = 1;
  details.cbDetails = sizeof *value;
  details.paDetails = value;
  return details;
}

HMIXEROBJ as_object(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace

MasterVolume::MasterVolume(UINT mixer_id) {
  if (mixerOpen(&mixer_, mixer_id, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
    mixer_ = nullptr;
    return;
  }
  MIXERLINEW line = {};
  line.cbStruct = sizeof line;
  line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_SPEAKERS;
  if (mixerGetLineInfoW(as_object(mixer_), &line,
                        MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_COMPONENTTYPE) !=
      MMSYSERR_NOERROR) {
    return;
  }
  MIXERCONTROLW control = {};
  MIXERLINECONTROLSW controls = {};
  controls.cbStruct = sizeof controls;
  controls.dwLineID = line.dwLineID;
  controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
  controls.cControls = 1;
  controls.cbmxctrl = sizeof control;
  controls.pamxctrl = &control;
  if (mixerGetLineControlsW(as_object(mixer_), &controls,
                            MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ONEBYTYPE) !=
      MMSYSERR_NOERROR) {
    return;
  }
  control_id_ = control.dwControlID;
  minimum_ = control.Bounds.dwMinimum;
  maximum_ = control.Bounds.dwMaximum;
  saved_ = get();
  ready_ = true;
}

MasterVolume::~MasterVolume() {
  if (ready_) set(saved_);
  if (mixer_ != nullptr) mixerClose(mixer_);
}

DWORD MasterVolume::get() const {
  MIXERCONTROLDETAILS_UNSIGNED value = {};
  MIXERCONTROLDETAILS details = value_details(control_id_, &value);
  mixerGetControlDetailsW(as_object(mixer_), &details,
                          MIXER_OBJECTF_HMIXER | MIXER_GETCONTROLDETAILSF_VALUE);
  return value.dwValue;
}

bool MasterVolume::set(DWORD value) {
  MIXERCONTROLDETAILS_UNSIGNED detail = {};
  detail.dwValue = value;
  MIXERCONTROLDETAILS details = value_details(control_id_, &detail);
  return mixerSetControlDetails(as_object(mixer_), &details,
                                MIXER_OBJECTF_HMIXER | MIXER_SETCONTROLDETAILSF_VALUE) ==
         MMSYSERR_NOERROR;
}

}  // namespace testing_support
