// One step of a toolbar drag, against the bare trackbar and tooltip messages it comes down to.
#pragma once

namespace bench {

// Prints the cost of one mouse move in a drag over the component's toolbar
// (its subclass, set_volume, the host's play callback, the registry's
// broadcast and the tooltip) next to the cost of sending a trackbar and a
// tooltip of no component the same messages directly. Needs the component
// entered and its play callback registered with the host.
void report_drag_step();

}  // namespace bench
