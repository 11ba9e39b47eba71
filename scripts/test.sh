#!/usr/bin/env bash
# Builds everything and runs every test: the Windows programs under Wine on a
# display (a private Xvfb when DISPLAY is unset), and the pure pieces natively
# under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh" --werror --native

ctest --test-dir "$root/build/native" --output-on-failure

source "$root/scripts/display.sh"
dwx_ensure_display
# One Wine program at a time: they share one prefix and one wineserver.
ctest --test-dir "$root/build" --output-on-failure -j1
