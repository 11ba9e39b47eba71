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
# --runs N stops each target after N executions when that comes first. Each
# target is a CTest entry of the fuzz build, labelled "fuzz", that
# tests/fuzz/run-target.sh runs.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"

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

status=0
"$root/scripts/build.sh" --werror --fuzz --no-win32 || status=1

results=$dwx_fuzz_dir/test-results
rm -rf "$results"
start=$(date +%s)
pattern="^($(IFS='|'; echo "${targets[*]}"))_fuzzer\$"
[ "$status" -ne 0 ] || DWX_FUZZ_SECONDS=$seconds DWX_FUZZ_RUNS=$runs \
  ctest --test-dir "$dwx_fuzz_dir" -L '^fuzz$' -R "$pattern" --output-on-failure || status=1

passed=0 failed=0 executions=0
for name in "${targets[@]}"; do
  line=$(cat "$results/${name}_fuzzer.txt" 2>/dev/null || echo "$name: FAILED: not built or not run")
  echo "$line"
  case "$line" in
    "$name: passed"*) passed=$((passed + 1)) ;;
    *) failed=$((failed + 1)) status=1 ;;
  esac
  count=$(sed -n 's/.* executions="\([0-9]*\)".*/\1/p' "$results/${name}_fuzzer.xml" 2>/dev/null || true)
  executions=$((executions + ${count:-0}))
done
echo "fuzz (libFuzzer, ASan+UBSan): $passed passed, $failed failed" \
  "(${#targets[@]} targets, $executions executions, $(($(date +%s) - start)) s)"
exit "$status"
