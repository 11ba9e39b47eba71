// Filling the page's device and control lists from the system's mixers.
#pragma once

#include <windows.h>

#include <cstdint>

namespace dwx {

// Adds one entry per system mixer after whatever the list holds, in
// identifier order. A device whose name cannot be read keeps its place as an
// empty entry, so that list positions stay device numbers. Returns the
// number of system mixers.
uint32_t add_mixer_devices(HWND device_list);

// Shows the control label and list for a mixer device, or the note about the
// host's own volume for device 0, and for a mixer device fills the list with
// its speaker line and then its source lines (the first 256 of a driver that
// claims more, with a warning), selecting mixer_control. A stored control
// the list does not hold is set back to 0 and the backend reopened on the
// speaker line.
void refresh_control_list(HWND dialog, uint32_t device);

}  // namespace dwx
