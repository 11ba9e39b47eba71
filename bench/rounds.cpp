#include "rounds.h"

#include <algorithm>

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
  return Spread{quantile(values, 0.5), (quantile(values, 0.75) - quantile(values, 0.25)) / 2};
}

}  // namespace bench
