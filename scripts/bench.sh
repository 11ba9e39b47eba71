#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine on a display (a private Xvfb
# when DISPLAY is unset). Each prints its cost next to a baseline measured in
# the same run, and the ratio.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"
source "$root/scripts/display.sh"
dwx_start_wine
cd "$root/build/bin"
for bench in *_bench.exe; do
  echo "== ${bench%.exe}"
  wine "$bench"
  echo
done
