#!/usr/bin/env bash
# Builds what the tests need and runs every test that this machine can run:
# the 64-bit Windows suite, the pure pieces natively under AddressSanitizer
# and UndefinedBehaviorSanitizer, each fuzz target for 20 seconds, then the
# 32-bit Windows suite (the product's) where the machine runs 32-bit
# programs; the Windows programs under Wine on a display (a private Xvfb when
# DISPLAY is unset). The 32-bit build is always built, benchmarks and all, so
# that its layout checks and the benchmarks are compiled with --werror even
# where it cannot run. Ends with a summary of each suite, and exits 0 when
# everything that could run passed. Each suite is the CTest entries of one
# build with that build's label (native, fuzz, win64, win32).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh"
dwx_detect_win32
dwx_say_platform "testing the 64-bit build, natively, then" \
  "testing the 64-bit build and natively; the 32-bit build is built, not run"
began=$(date +%s)

summary=()
total_passed=0 total_failed=0 total_skipped=0 status=0

# The 64-bit build first: its suite is the longest, and while it runs (one
# Wine program at a time, about one core) the other builds use the other
# core, at the lowest priority so that the tests keep theirs.
echo "== Building the 64-bit Windows build"
"$root/scripts/build.sh" --werror --no-win32 --win64
logs=$dwx_root/build/test-logs
mkdir -p "$logs"
rm -f "$logs"/*.built
echo "== Building the native, fuzz and 32-bit builds meanwhile (their output in $logs/)"
(
  for build in native fuzz win32; do
    options=(--werror --no-win32)
    case $build in
      native) options+=(--native) ;;
      fuzz) options+=(--fuzz) ;;
      win32) options=(--werror) ;;
    esac
    nice -n 19 "$root/scripts/build.sh" "${options[@]}" >"$logs/$build-build.log" 2>&1 &&
      : >"$logs/$build.built"
  done
) &
builds=$!

# built BUILD: whether that build of the background ones succeeded; says so
# in the summary when it did not.
built() {
  [ -f "$logs/$1.built" ] && return 0
  tail -n 30 "$logs/$1-build.log" >&2
  summary+=("$1 build: FAILED (its output: $logs/$1-build.log)")
  status=1
  return 1
}

# root_attribute FILE NAME: a number of a GoogleTest report's root element,
# 0 when it has none.
root_attribute() {
  local number
  number=$({ grep -o '<testsuites [^>]*' "$1" || true; } |
    { grep -o " $2=\"[0-9]*\"" || true; } | head -n 1 | tr -dc '0-9')
  echo "${number:-0}"
}

# run_suite TITLE BUILD_DIR LABEL [ctest options]: runs the CTest entries of
# one build that carry its label, adds the suite's line to the summary and
# sets suite_result to passed or failed.
# CTest decides what failed; each program's report counts its test cases. A
# program that left no report counts as failed, even where CTest saw it pass
# (Wine's crash handler can exit with 0).
run_suite() {
  local title=$1 dir=$2 label=$3
  shift 3
  local results=$dir/test-results failed_list=$dir/Testing/Temporary/LastTestsFailed.log
  local start rc=0
  rm -rf "$results" "$failed_list"
  echo "== $title"
  start=$(date +%s)
  ctest --test-dir "$dir" -L "^$label\$" --no-tests=error --output-on-failure "$@" || rc=$?
  local seconds=$(($(date +%s) - start))

  # The programs: the entries with the label, less the fixtures (-FA: and
  # less those CTest would add because the programs need them).
  local programs=() name report passed=0 failed=0 skipped=0 missing=() tests failures
  mapfile -t programs < <(ctest --test-dir "$dir" -N -L "^$label\$" -LE '^fixture$' -FA '.*' |
    sed -n 's/^ *Test *#[0-9]*: //p')
  for name in "${programs[@]}"; do
    report=$results/$name.xml
    if [ ! -f "$report" ]; then
      missing+=("$name")
      failed=$((failed + 1))
      continue
    fi
    tests=$(root_attribute "$report" tests)
    failures=$(($(root_attribute "$report" failures) + $(root_attribute "$report" errors)))
    local skips
    skips=$(grep -c 'result="skipped"' "$report" || true)
    passed=$((passed + tests - failures - skips))
    skipped=$((skipped + skips))
    # A program CTest saw fail whose report shows no failed case (it died
    # after writing it, or timed out) is one failure.
    if [ "$failures" -eq 0 ] && grep -qx "[0-9]*:$name" "$failed_list" 2>/dev/null; then
      failures=1
    fi
    failed=$((failed + failures))
  done

  local line="$title: $passed passed, $failed failed, $skipped skipped"
  line+=" (${#programs[@]} programs, ${seconds} s)"
  suite_result=passed
  [ "$rc" -eq 0 ] || { line+=" FAILED"; suite_result=failed; }
  if [ ${#missing[@]} -gt 0 ]; then
    line+=" FAILED: no results from ${missing[*]}"
    suite_result=failed
  fi
  [ "$suite_result" = passed ] || status=1
  summary+=("$line")
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  total_skipped=$((total_skipped + skipped))
}

source "$root/scripts/display.sh"
dwx_ensure_display
# One Wine program at a time: they share one prefix and one wineserver.
run_suite "64-bit Windows" "$dwx_win64_dir" win64 -j1

echo "== Waiting for the other builds"
wait "$builds" || true
if built native; then
  run_suite "native (ASan+UBSan)" "$dwx_native_dir" native -j2
fi
# Each target for 20 s, two at a time: one core each.
export DWX_FUZZ_SECONDS=20
if built fuzz; then
  run_suite "fuzz (libFuzzer, ASan+UBSan)" "$dwx_fuzz_dir" fuzz -j2
fi
if ! built win32; then
  :
elif [ "$dwx_win32" = 1 ]; then
  run_suite "32-bit Windows" "$dwx_win32_dir" win32 -j1
  win32_result=$suite_result
else
  summary+=("32-bit Windows: not run: $dwx_win32_reason (built with --werror all the same)")
  win32_result="not run ($dwx_win32_reason)"
fi

# What package.sh reads: the DLL this run built with --werror and tested, at
# which commit, and how its tests went.
if [ -f "$dwx_win32_dir/bin/dwx_volume.dll" ]; then
  {
    echo "commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)$(
      git -C "$root" diff --quiet HEAD 2>/dev/null || echo ' with changes not committed')"
    echo "dll_sha256=$(sha256sum "$dwx_win32_dir/bin/dwx_volume.dll" | cut -d' ' -f1)"
    echo "win32=${win32_result:-not built}"
    [ "$status" -eq 0 ] && echo "result=passed" || echo "result=failed"
  } >"$dwx_win32_dir/tested.stamp"
fi

echo
echo "== Summary"
printf '%s\n' "${summary[@]}"
echo "Total: $total_passed passed, $total_failed failed, $total_skipped skipped" \
  "($(($(date +%s) - began)) s)"
exit "$status"
