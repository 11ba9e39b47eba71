#!/usr/bin/env bash
# Builds everything and runs every test that this machine can run: the pure
# pieces natively under AddressSanitizer and UndefinedBehaviorSanitizer, each
# fuzz target for 20 seconds, then the 64-bit Windows suite, then the 32-bit
# one (the product's) where the machine runs 32-bit programs; the Windows
# programs under Wine on a display (a private Xvfb when DISPLAY is unset). The
# 32-bit build is always built, so its layout checks are compiled even where
# it cannot run. Ends with a summary of each suite, and exits 0 when
# everything that could run passed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
dwx_detect_win32
if [ "$dwx_win32" = 1 ]; then
  echo "Platform: this machine runs 32-bit programs: testing natively, then the 64-bit build, then the 32-bit build, the product."
else
  echo "Platform: $dwx_win32_reason: testing natively and the 64-bit build; the 32-bit build is built, not run."
fi
"$root/scripts/build.sh" --werror --native --win64

summary=()
total_passed=0 total_failed=0 total_skipped=0 status=0

# The sum of one attribute over a suite's GoogleTest result files.
sum_attribute() {
  local dir=$1 attribute=$2
  { cat "$dir"/*.xml 2>/dev/null || true; } | { grep -o "<testsuites [^>]*" || true; } |
    { grep -o " $attribute=\"[0-9]*\"" || true; } | awk -F'"' '{ n += $2 } END { print n + 0 }'
}

# run_suite TITLE BUILD_DIR [ctest options]: runs one build's CTest entries
# and adds a line to the summary.
run_suite() {
  local title=$1 dir=$2
  shift 2
  local results="$dir/test-results" start rc=0 log
  rm -rf "$results"
  log=$(mktemp)
  echo "== $title"
  start=$(date +%s)
  ctest --test-dir "$dir" --output-on-failure "$@" 2>&1 | tee "$log" || rc=$?
  local seconds=$(($(date +%s) - start))
  local tests failed skipped passed programs
  tests=$(sum_attribute "$results" tests)
  failed=$(($(sum_attribute "$results" failures) + $(sum_attribute "$results" errors)))
  skipped=$({ cat "$results"/*.xml 2>/dev/null || true; } | grep -c 'result="skipped"' || true)
  passed=$((tests - failed - skipped))
  # A program that crashed, or never started, left no results: CTest counts it.
  if [ "$rc" -ne 0 ] && [ "$failed" -eq 0 ]; then
    failed=$(sed -n 's/.* \([0-9]*\) tests\{0,1\} failed out of.*/\1/p' "$log" | tail -n 1 || true)
    failed=${failed:-1}
  fi
  programs=$(find "$results" -name '*.xml' 2>/dev/null | wc -l)
  rm -f "$log"
  # Every program leaves its results. One that left none died, even where
  # its exit code said otherwise (Wine's crash handler can exit with 0).
  local name missing=()
  while read -r name; do
    [ -f "$results/$name.xml" ] || missing+=("$name")
  done < <(ctest --test-dir "$dir" -N | sed -n 's/^ *Test *#[0-9]*: //p' | grep -vxE '([a-z]+_)?wine_(start|stop)')
  local line="$title: $passed passed, $((failed + ${#missing[@]})) failed, $skipped skipped"
  line+=" ($programs programs, ${seconds} s)"
  [ "$rc" -eq 0 ] || { line+=" FAILED"; status=1; }
  if [ ${#missing[@]} -gt 0 ]; then
    line+=" FAILED: no results from ${missing[*]}"
    status=1
    failed=$((failed + ${#missing[@]}))
  fi
  summary+=("$line")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
}

# run_fuzz SECONDS: every fuzz target for that long, through fuzz.sh, whose
# last line is the suite's summary. Each target counts as one test; one that
# could not be built or run counts as failed, as do all of them when fuzz.sh
# ends without its summary.
run_fuzz() {
  local log rc=0 line passed failed targets
  targets=$(find "$root/tests/fuzz/corpus" -mindepth 1 -maxdepth 1 -type d | wc -l)
  log=$(mktemp)
  echo "== fuzz"
  "$root/scripts/fuzz.sh" "$1" 2>&1 | tee "$log" || rc=$?
  line=$(grep '^fuzz (libFuzzer' "$log" | tail -n 1 || true)
  rm -f "$log"
  passed=$(printf '%s' "$line" | sed -n 's/^[^:]*: \([0-9]*\) passed.*/\1/p')
  failed=$(printf '%s' "$line" | sed -n 's/.* \([0-9]*\) failed.*/\1/p')
  if [ -z "$passed" ] || [ -z "$failed" ]; then
    line="fuzz (libFuzzer, ASan+UBSan): 0 passed, $targets failed (fuzz.sh gave no summary)"
    passed=0 failed=$targets
  fi
  if [ "$rc" -ne 0 ]; then
    line+=" FAILED"
    status=1
    [ "$failed" -gt 0 ] || failed=1
  fi
  summary+=("$line")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
}

run_suite "native (ASan+UBSan)" "$root/build/native"
run_fuzz 20

source "$root/scripts/display.sh"
dwx_ensure_display
# One Wine program at a time: they share one prefix and one wineserver.
run_suite "64-bit Windows" "$(dwx_win64_build "$root")" -j1
if [ "$dwx_win32" = 1 ]; then
  run_suite "32-bit Windows" "$(dwx_win32_build "$root")" -j1
else
  summary+=("32-bit Windows: not run: $dwx_win32_reason (built with --werror all the same)")
fi

echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
echo "Total: $total_passed passed, $total_failed failed, $total_skipped skipped"
exit "$status"
