// The host's own playback volume, through its playback-control service.
#pragma once

#include <cstdint>

namespace dwx {

// The service is looked up on first use and kept for the life of the library.
// Without one, reads give 0 (full volume, the host's usual default), writes
// are dropped, and the next call looks again.
int32_t host_get_volume();
void host_set_volume(int32_t hdb);

// At the entry call. A library kept loaded for a client of its accessible
// objects (ui/accessible_slider.h) is the same one a host that loads it
// again receives, and that host may be another: what the last one handed
// out is not used again.
void forget_playback_control();

}  // namespace dwx
