#!/usr/bin/env bash
# Runs the long forms of the soak and the stress under Wine on a display (a
# private Xvfb when DISPLAY is unset): the component loaded, used and
# unloaded 1000 times, then 100,000 volume reports from four host threads
# while the UI thread drags, runs commands and switches devices, then a
# player session with every call of every winmm, window and heap call site
# failing in turn. The 32-bit build where this machine runs 32-bit programs,
# the 64-bit one otherwise.
# Prints the figures: growth per counter and time per cycle, callbacks per
# second. DWX_SOAK_CYCLES and DWX_STRESS_CALLBACKS, when set, give other
# lengths; the test command runs 50 cycles and 5,000 callbacks.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh"
dwx_detect_win32
dwx_say_platform "soaking"
build_options=(--werror --target soak_tests --target fault_tests)
[ "$dwx_bits" = 32 ] || build_options+=(--no-win32 --win64)
"$root/scripts/build.sh" "${build_options[@]}"
source "$root/scripts/display.sh"
dwx_start_wine "$dwx_bits"
cd "$dwx_bin"
export DWX_SOAK_CYCLES=${DWX_SOAK_CYCLES:-1000}
export DWX_STRESS_CALLBACKS=${DWX_STRESS_CALLBACKS:-100000}
start=$(date +%s)
status=0
# Brief: the figures and any failure, not a line per test.
"$dwx_wine" soak_tests.exe --gtest_brief=1 || status=$?
DWX_FAULTS_FULL=1 "$dwx_wine" fault_tests.exe --gtest_brief=1 || status=$?
echo "Wall time: $(($(date +%s) - start)) s ($dwx_bits-bit build)"
exit "$status"
