// Timing two ways of doing the same thing in alternating rounds.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

// Microseconds on the performance counter.
double now_us();

// The median of the values and their first and third quartiles.
struct Spread {
  double median = 0;
  double low = 0;
  double high = 0;
  double half_iqr() const { return (high - low) / 2; }
};
Spread spread_of(std::vector<double> values);

// Each round's A − B, A and B timed one after the other, so that a change
// in the machine's load reaches both sides of a pair alike.
std::vector<double> paired_differences(const std::vector<double>& a, const std::vector<double>& b);

// Microseconds as the table shows them: two decimals below 100, one above.
std::string microseconds(double us);

// The table's difference column, from the paired differences: their median
// and quartiles, "+1.57 us [+1.55, +1.60]"; when the quartiles hold 0, that
// is no measurable difference, and the cell begins by saying so.
std::string difference_cell(const Spread& differences);

}  // namespace bench
