#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine on a display (a private Xvfb
# when DISPLAY is unset): the 32-bit build where this machine runs 32-bit
# programs, the 64-bit one otherwise. Each prints its cost next to a baseline
# measured in the same run, and the ratio.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
dwx_detect_win32
dwx_say_platform "benchmarking"
dwx_build_runnable "$root"
source "$root/scripts/display.sh"
dwx_start_wine "$dwx_bits"
cd "$dwx_bin"
for bench in *_bench.exe; do
  echo "== ${bench%.exe}"
  "$dwx_wine" "$bench"
  echo
done
