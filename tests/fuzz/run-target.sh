#!/usr/bin/env bash
# NAME PROGRAM CORPUS FINDINGS RESULTS: runs one fuzz target for
# DWX_FUZZ_SECONDS (20 by default; DWX_FUZZ_RUNS, when set, stops it after
# that many executions if they come first) on a scratch copy of its seed
# corpus: what the run adds to the corpus is dropped afterwards. Prints one
# line, NAME: passed or FAILED, with its executions and rate, and leaves it
# in RESULTS/NAME_fuzzer.txt (the name of its CTest entry), beside
# NAME_fuzzer.xml, a report in GoogleTest's form with the target as one test
# case. An input that breaks one of the target's properties or trips a
# sanitizer stays in FINDINGS, and the line names it.
set -euo pipefail
name=$1 program=$2 seeds=$3 findings=$4 results=$5
seconds=${DWX_FUZZ_SECONDS:-20}
runs=${DWX_FUZZ_RUNS:-0}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/corpus" "$findings" "$results"
cp "$seeds/"* "$scratch/corpus/"
# -timeout: an input that hangs is a finding too, not a stalled run.
options=(-max_total_time="$seconds" -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/")
[ "$runs" -eq 0 ] || options+=(-runs="$runs")
# A character is at most 6 bytes: a longer text reaches no branch a short one
# does not, and every run costs time in proportion to its length.
[ "$name" != utf8_codec ] || options+=(-max_len=128)

rc=0 began=$(date +%s)
UBSAN_OPTIONS=print_stacktrace=1 "$program" "${options[@]}" "$scratch/corpus" >"$scratch/log" 2>&1 ||
  rc=$?
took=$(($(date +%s) - began))
count=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/log" | tail -n 1)
rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$scratch/log" | tail -n 1)
# A target may name a path its run must reach: "path: WHAT: reached in N of
# M inputs". N of 0 fails it: the run tested less than it claims.
paths=$(sed -n 's/^path: //p' "$scratch/log" | paste -sd ';' -)
unreached=$(sed -n 's/^path: \(.*: reached in 0 of .*\)/\1/p' "$scratch/log" | paste -sd ';' -)
if [ "$rc" -eq 0 ] && [ -n "$count" ] && [ -z "$unreached" ]; then
  line="$name: passed, $count executions in $took s ($rate exec/s), corpus of $(ls "$scratch/corpus" | wc -l) inputs${paths:+; $paths}"
  failures=0
else
  tail -n 40 "$scratch/log"
  input=$(sed -n 's/.*Test unit written to //p' "$scratch/log" | tail -n 1)
  line="$name: FAILED (exit code $rc) after ${count:-an unknown number of} executions${input:+; the input: $input}${unreached:+; never reached: $unreached}"
  failures=1
fi
echo "$line"
echo "$line" >"$results/${name}_fuzzer.txt"
cat >"$results/${name}_fuzzer.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<testsuites tests="1" failures="$failures" disabled="0" errors="0" time="$took" executions="${count:-0}" name="$name">
</testsuites>
XML
exit "$failures"
