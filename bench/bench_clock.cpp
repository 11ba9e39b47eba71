#include "bench_clock.h"

#include <windows.h>

namespace bench {

double microseconds_per_operation(const std::function<void(int)>& operation, int iterations,
                                  int rounds) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  double best = 1e300;
  for (int round = 0; round < rounds; ++round) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < iterations; ++i)
      operation(i);
    QueryPerformanceCounter(&end);
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    if (seconds < best) best = seconds;
  }
  return best * 1e6 / iterations;
}

}  // namespace bench
