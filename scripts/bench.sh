#!/usr/bin/env bash
# Builds the benchmarks and runs them under Wine on a display (a private Xvfb
# when DISPLAY is unset). Each prints its cost next to a baseline measured in
# the same run, and the ratio.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"
source "$root/scripts/display.sh"
own_display=${DISPLAY:-}
dwx_ensure_display
"$root/tests/wine-fixture.sh" start "$root/build/wineprefix" "$root/build/test-home"
export WINEPREFIX="$root/build/wineprefix" HOME="$root/build/test-home" WINEDEBUG=-all \
  WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe=
cd "$root/build/bin"
status=0
for bench in *_bench.exe; do
  echo "== ${bench%.exe}"
  wine "$bench" || status=$?
  echo
done
# Wine's helper processes hold a private display; end them before it goes.
[ -n "$own_display" ] || "$root/tests/wine-fixture.sh" stop "$root/build/wineprefix" "$root/build/test-home"
exit "$status"
