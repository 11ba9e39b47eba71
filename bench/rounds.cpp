// Timing rounds, their medians, quartiles and paired differences, and how the table shows them.
#include "rounds.h"

#include <algorithm>
#include <cstdio>

namespace bench {

namespace {

// The quantile by linear interpolation between the nearest ranks, of sorted values.
double quantile(const std::vector<double>& sorted, double q) {
  const double at = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<size_t>(at);
  if (below + 1 >= sorted.size()) return sorted.back();
  const double fraction = at - static_cast<double>(below);
  return sorted[below] + fraction * (sorted[below + 1] - sorted[below]);
}

std::string signed_microseconds(double us) { return (us >= 0 ? "+" : "") + microseconds(us); }

}  // namespace

double now_us() {
  static const double ticks_per_us = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1e6;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticks_per_us;
}

Spread spread_of(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  return Spread{quantile(values, 0.5), quantile(values, 0.25), quantile(values, 0.75)};
}

std::vector<double> paired_differences(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> differences;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i)
    differences.push_back(a[i] - b[i]);
  return differences;
}

std::string microseconds(double us) {
  char text[32];
  snprintf(text, sizeof text, us >= 100 || us <= -100 ? "%.1f" : "%.2f", us);
  return text;
}

std::string difference_cell(const Spread& differences) {
  const std::string figures = signed_microseconds(differences.median) + " us [" +
                              signed_microseconds(differences.low) + ", " +
                              signed_microseconds(differences.high) + "]";
  if (differences.low <= 0 && differences.high >= 0) return "no measurable difference: " + figures;
  return figures;
}

}  // namespace bench
