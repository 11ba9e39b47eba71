// The host's own playback volume, through its playback-control service.
#pragma once

#include <cstdint>

namespace dwx {

// The service is looked up on first use and kept for the life of the library.
// Without one, reads give 0 (full volume, the host's usual default), writes
// are dropped, and the next call looks again.
int32_t host_get_volume();
void host_set_volume(int32_t hdb);

}  // namespace dwx
