// Timing two ways of doing the same thing in alternating rounds.
#pragma once

#include <windows.h>

#include <vector>

namespace bench {

// Microseconds on the performance counter.
double now_us();

// The median of the values and half their interquartile range.
struct Spread {
  double median = 0;
  double half_iqr = 0;
};
Spread spread_of(std::vector<double> values);

}  // namespace bench
