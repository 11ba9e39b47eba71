#!/usr/bin/env bash
# Builds the benchmarks and prints what they measured as one table: every
# *_bench.exe under Wine on a display (a private Xvfb when DISPLAY is unset),
# the native benchmarks when there are any, and the DLL's size. The 32-bit
# build runs where this machine runs 32-bit programs, the 64-bit one
# otherwise. Each piece prints its rows (stdout lines that begin with "| ")
# next to a baseline measured in the same run; everything else the pieces
# say goes to a log under build/bench/. Exits non-zero, after the table, when
# a piece failed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
"$root/scripts/setup.sh"
dwx_detect_win32
dwx_say_platform "benchmarking"

workdir="$root/build/bench"
mkdir -p "$workdir"
log="$workdir/bench-$(date +%Y%m%d-%H%M%S).log"
: >"$log"
echo "Log of the benchmarks' commentary: $log"

build_options=(--werror --target dwx_volume --target utf8api --target volume_bench
               --target load_bench --target empty_component)
[ "$dwx_bits" = 32 ] || build_options+=(--no-win32 --win64)
if ! "$root/scripts/build.sh" "${build_options[@]}" >>"$log" 2>&1; then
  tail -n 30 "$log" >&2
  echo "The build failed; the whole output is in $log" >&2
  exit 1
fi
source "$root/scripts/display.sh"
dwx_start_wine "$dwx_bits"

rows=()
failed=()
# What the machine was doing besides, at the start and at the end: the times
# under Wine and the native times move with it, the instruction counts do not.
load_at_start=$(cut -d ' ' -f 1-3 /proc/loadavg)

# run_piece NAME COMMAND...: runs one piece, keeps its rows and logs the rest.
# Wine's C runtime ends its lines with CR LF.
run_piece() {
  local name=$1 status=0 out line
  shift
  echo "== $name" >>"$log"
  out=$("$@" 2>"$workdir/stderr") || status=$?
  tr -d '\r' <"$workdir/stderr" >>"$log"
  while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ $line == "| "* ]]; then
      rows+=("$line")
    else
      printf '%s\n' "$line" >>"$log"
    fi
  done <<<"$out"
  if [ "$status" -ne 0 ]; then
    failed+=("$name (exit status $status)")
    echo "== $name failed with exit status $status" >>"$log"
  fi
}

cd "$dwx_bin"
for bench in *_bench.exe; do
  run_piece "${bench%.exe}" "$dwx_wine" "$bench"
done
cd "$root"
if [ -x "$root/bench/native/run.sh" ]; then
  run_piece "native" "$root/bench/native/run.sh"
fi

# --- The DLL's size, against the empty library built with the same options.
if [ "$dwx_bits" = 64 ]; then triplet=x86_64-w64-mingw32; else triplet=i686-w64-mingw32; fi
dll="$dwx_bin/dwx_volume.dll"
empty="$dwx_bin/empty_component.dll"

with_commas() { printf '%s' "$1" | sed -e ':a' -e 's/\([0-9]\)\([0-9]\{3\}\)\($\|,\)/\1,\2\3/' -e 'ta'; }

# size_row WHAT COMPONENT_BYTES BASELINE_BYTES
size_row() {
  local difference=$(($2 - $3)) sign=""
  [ "$difference" -ge 0 ] && sign="+"
  rows+=("| $1 | $dwx_bits-bit | $(with_commas "$2") bytes | $(with_commas "$3") bytes (empty DLL) \
| $sign$(with_commas "$difference") bytes | $(awk -v a="$2" -v b="$3" 'BEGIN { printf "%.2fx", a / b }') | - |")
}

# section_size DLL NAME: the section's size in the image, 0 when it has none.
section_size() {
  local hex
  hex=$("$triplet-objdump" -h "$1" | awk -v name="$2" '$2 == name { print $3 }')
  echo $((16#${hex:-0}))
}

# Run as a condition, where set -e does not act: each step says itself.
size_rows() {
  local component_file="$workdir/dwx_volume.stripped.dll" empty_file="$workdir/empty.stripped.dll"
  "$triplet-strip" -o "$component_file" "$dll" || return 1
  "$triplet-strip" -o "$empty_file" "$empty" || return 1
  size_row "DLL file, stripped" "$(stat -c %s "$component_file")" "$(stat -c %s "$empty_file")"
  local section
  for section in .text .rdata .data; do
    size_row "DLL section $section" "$(section_size "$dll" "$section")" \
      "$(section_size "$empty" "$section")"
  done
}
if ! size_rows >>"$log" 2>&1; then
  failed+=("size rows")
fi

# --- The table, and what produced it.
cpu=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo "no git commit")
git -C "$root" diff --quiet HEAD 2>/dev/null || commit+=" with uncommitted changes"
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$dwx_bin/../CMakeCache.txt")
echo
echo "Machine: ${cpu:-unknown CPU}, $(nproc) cores; $("$dwx_wine" --version); the $dwx_bits-bit build"
echo "Commit: $commit; the Windows build $build_type, the native rows Release"
echo "Load average (1, 5, 15 minutes): $load_at_start as the benchmarks began," \
  "$(cut -d ' ' -f 1-3 /proc/loadavg) as they ended"
echo
echo "| what | setting | component | baseline | difference | ratio | heap calls/op |"
echo "|---|---|---|---|---|---|---|"
[ "${#rows[@]}" -eq 0 ] || printf '%s\n' "${rows[@]}"

echo
echo "Largest symbols of dwx_volume.dll ($dwx_bits-bit), bytes:"
symbols=$("$triplet-nm" --size-sort --reverse-sort -S -C "$dll")
awk '$3 != "N" && $3 != "n" && ++shown <= 10' <<<"$symbols" |
  while read -r _ size type name; do
    printf '%9s  %s %s\n' "$(with_commas $((16#$size)))" "$type" "$name"
  done

imports=$("$triplet-objdump" -p "$dll" | awk '/DLL Name:/ { print tolower($3) }' | sort | paste -sd ' ')
expected="kernel32.dll msvcrt.dll user32.dll utf8api.dll winmm.dll"
echo
if [ "$imports" = "$expected" ]; then
  echo "Imports of dwx_volume.dll: $imports (as they must be)"
else
  echo "Imports of dwx_volume.dll: $imports, NOT exactly $expected"
  failed+=("the DLL's imports")
fi

if [ "${#failed[@]}" -gt 0 ]; then
  echo >&2
  printf 'Failed: %s\n' "${failed[@]}" >&2
  echo "See $log" >&2
  exit 1
fi
