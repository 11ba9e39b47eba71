// Timing for the benchmarks: the best of several rounds, per operation.
#pragma once

#include <functional>

namespace bench {

// Runs `operation` `iterations` times per round, for `rounds` rounds, and
// returns the fastest round's time per operation in microseconds. The best
// round is the one least disturbed by the rest of the machine.
double microseconds_per_operation(const std::function<void(int)>& operation, int iterations,
                                  int rounds = 7);

}  // namespace bench
