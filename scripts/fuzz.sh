#!/usr/bin/env bash
# Builds the fuzz targets natively with clang's libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer in build/fuzz/, and runs
# each for the given seconds (60 by default) on a scratch copy of its seed
# corpus, tests/fuzz/corpus/<target>/: what a run adds to the corpus is
# dropped afterwards. Prints each target's executions and rate, then one line
# with the totals. Exits non-zero when a target could not be built or run, or
# found an input that breaks one of its properties or trips a sanitizer; that
# input stays in build/fuzz/findings/<target>/ and its path is printed.
#
#   fuzz.sh [--runs N] [seconds] [target...]
#
# --runs N stops each target after N executions when that comes first.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

seconds=60
runs=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=${2:?--runs needs a count}; shift ;;
    [0-9]*) seconds=$1 ;;
    -*) echo "usage: fuzz.sh [--runs N] [seconds] [target...]" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift
done
# Each target is a folder of seeds; the build makes <target>_fuzzer.
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(cd "$root/tests/fuzz/corpus" && ls)
fi

"$root/scripts/setup.sh"
build=$root/build/fuzz
built=1
cmake -S "$root" -B "$build" -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 -DDWX_FUZZ=ON -DDWX_WERROR=ON \
  >/dev/null && cmake --build "$build" || built=0

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
passed=0 failed=0 executions=0 start=$(date +%s)

# run_target NAME: one target, one line; on a finding, the report and the input.
run_target() {
  local name=$1 program="$build/tests/fuzz/$1_fuzzer"
  if [ "$built" -eq 0 ] || [ ! -x "$program" ] || [ ! -d "$root/tests/fuzz/corpus/$name" ]; then
    echo "$name: FAILED: not built"
    failed=$((failed + 1))
    return
  fi
  local corpus="$scratch/$name" log="$scratch/$name.log" findings="$build/findings/$name"
  mkdir -p "$corpus" "$findings"
  cp "$root/tests/fuzz/corpus/$name/"* "$corpus/"
  # -timeout: a run that hangs is a finding too, not a stalled script.
  local options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1
                 -artifact_prefix="$findings/")
  [ "$runs" -eq 0 ] || options+=(-runs="$runs")
  # A character is at most 6 bytes: a longer text reaches no branch a short
  # one does not, and every run costs time in proportion to its length.
  [ "$name" != utf8_codec ] || options+=(-max_len=128)

  local rc=0 began count rate
  began=$(date +%s)
  UBSAN_OPTIONS=print_stacktrace=1 "$program" "${options[@]}" "$corpus" >"$log" 2>&1 || rc=$?
  local took=$(($(date +%s) - began))
  count=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  executions=$((executions + ${count:-0}))
  # A target may name a path its run must reach: "path: WHAT: reached in N
  # of M inputs". N of 0 fails it: the run tested less than it claims.
  local paths unreached
  paths=$(sed -n 's/^path: //p' "$log" | paste -sd ';' -)
  unreached=$(sed -n 's/^path: \(.*: reached in 0 of .*\)/\1/p' "$log" | paste -sd ';' -)
  if [ "$rc" -eq 0 ] && [ -n "$count" ] && [ -z "$unreached" ]; then
    echo "$name: passed, $count executions in $took s ($rate exec/s), corpus of $(ls "$corpus" | wc -l) inputs${paths:+; $paths}"
    passed=$((passed + 1))
    return
  fi
  tail -n 40 "$log"
  local input
  input=$(sed -n 's/.*Test unit written to //p' "$log" | tail -n 1)
  echo "$name: FAILED (exit code $rc) after ${count:-an unknown number of} executions${input:+; the input: $input}${unreached:+; never reached: $unreached}"
  failed=$((failed + 1))
}

for name in "${targets[@]}"; do
  run_target "$name"
done
echo "fuzz (libFuzzer, ASan+UBSan): $passed passed, $failed failed" \
  "(${#targets[@]} targets, $executions executions, $(($(date +%s) - start)) s)"
[ "$failed" -eq 0 ]
