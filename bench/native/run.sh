#!/usr/bin/env bash
# Measures the pure pieces natively, in an optimised build of their own
# (build/bench-native/, no sanitizers): time per call under Google Benchmark,
# and instructions per call under callgrind, which are the same on every run.
# Prints rows of the shared benchmark table on stdout, two per operation;
# everything else goes to stderr.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh" >&2

dir=$dwx_bench_native_dir
cmake -S "$root" -B "$dir" -G Ninja --log-level=WARNING -DCMAKE_BUILD_TYPE=Release \
  -DDWX_WERROR=ON >&2
cmake --build "$dir" --target pure_bench >&2
bench=$dir/bench/native/pure_bench

cat >&2 <<'EOF'
== Pure pieces, native x86-64 (-O3): the product is 32-bit code from another
   compiler, so these numbers compare operations with each other, not with
   the other rows' Wine measurements.
   Time: median CPU time per call over 21 repetitions, +- half their
   interquartile range. Instructions: callgrind's count over many calls,
   divided by the calls, the bench loop's few instructions included. Heap
   calls: malloc, calloc, realloc and free of a block, made by the component.
   The ANSI conversions (text/ansi.cpp) call Windows for the code page and are
   not native: they are not measured here.
   A "Library was built as DEBUG" warning below is about Debian's build of
   the benchmark library, not about the code measured.
EOF

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$bench" --benchmark_repetitions=21 --benchmark_min_time=0.05 >"$work/times"

# count RUN: one callgrind run of the counting mode into $work/RUN/, and the
# total of each operation's dump into $work/RUN/totals as "key total".
count() {
  mkdir "$work/$1"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$work/$1/callgrind.out" \
    "$bench" --count >"$work/$1/calls" 2>"$work/$1/valgrind.log"
  awk '/^desc: Trigger: Client Request: / { key = $5 } /^totals:/ { print key, $2 }' \
    "$work/$1"/callgrind.out.* | sort >"$work/$1/totals"
}
count first
count second
if cmp -s "$work/first/totals" "$work/second/totals"; then
  echo "   callgrind: both runs counted exactly the same instructions." >&2
else
  echo "   callgrind: the two runs differ (key total, first run then second):" >&2
  diff "$work/first/totals" "$work/second/totals" >&2 || true
fi

# The scale works from a table and integers only: no pow, exp or log
# function may run while it converts.
for key in level_to_hdb hdb_to_level; do
  dump=$(grep -l "^desc: Trigger: Client Request: $key\$" "$work/first"/callgrind.out.*)
  functions=$(callgrind_annotate --inclusive=yes --threshold=100 "$dump" |
    sed -nE 's/^ *[0-9,]+ \([^)]*\) +[^:]*:(.*) \[[^]]*\]$/\1/p')
  transcendental=$(grep -Ei '(^|[^a-z0-9])_*(ieee754_)?(pow|exp|log)' <<<"$functions" || true)
  if ! grep -q "^dwx::$key(" <<<"$functions"; then
    echo "   $key: callgrind_annotate listed no such function; nothing checked." >&2
  elif [ -z "$transcendental" ]; then
    ran=$(grep '^dwx::' <<<"$functions" | paste -sd ' ' -)
    echo "   $key calls no pow, exp or log function (of ours it runs $ran)." >&2
  else
    echo "   $key CALLS: $transcendental" >&2
  fi
done

# The timing rows and the counting lines come in the same order, the
# operations' own.
mapfile -t times <"$work/times"
i=0
while IFS=$'\t' read -r key calls heap what setting; do
  total=$(awk -v key="$key" '$1 == key { print $2 }' "$work/first/totals")
  echo "${times[$i]}"
  awk -v total="$total" -v calls="$calls" -v what="$what" -v setting="$setting" -v heap="$heap" \
    'BEGIN { printf "| %s | %s | %.0f instr | - | - | - | %s |\n", what, setting, total / calls, heap }'
  i=$((i + 1))
done <"$work/first/calls"
