# Sourced by the scripts: where each build lives and the Wine loader of each
# Windows build, said here and nowhere else (build.sh hands the loader to
# CMake), and whether this machine runs 32-bit programs, which decides which
# Windows build runs here. The 32-bit build is the product; the 64-bit one
# exists so that a machine whose kernel refuses 32-bit programs (Debian's
# 32-bit Wine loader is itself an i386 program) still runs every behaviour
# test.

dwx_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

dwx_win32_dir=$dwx_root/build               # the product
dwx_win64_dir=$dwx_root/build/win64         # the 64-bit test build
dwx_native_dir=$dwx_root/build/native       # the pure pieces under the sanitizers
dwx_fuzz_dir=$dwx_root/build/fuzz           # the fuzz targets
dwx_bench_native_dir=$dwx_root/build/bench-native  # the pure pieces optimised, for timing
dwx_test_home=$dwx_root/build/test-home     # the HOME of the Wine tests: a null sound device
dwx_win32_loader=/usr/lib/wine/wine
dwx_win64_loader=/usr/lib/wine/wine64

# dwx_build_dir BITS, dwx_loader BITS: the folder and the loader of the
# 32- or 64-bit Windows build.
dwx_build_dir() { if [ "$1" = 64 ]; then echo "$dwx_win64_dir"; else echo "$dwx_win32_dir"; fi; }
dwx_loader() { if [ "$1" = 64 ]; then echo "$dwx_win64_loader"; else echo "$dwx_win32_loader"; fi; }

# Sets dwx_win32 (1 or 0), dwx_win32_reason (why not, when 0) and dwx_bits,
# the build this machine runs (32 or 64). Run it after setup.sh: the 32-bit
# loader may only just have been installed. DWX_NO_WIN32=1 takes the
# 64-bit-only path on any machine.
dwx_detect_win32() {
  dwx_win32=0
  dwx_win32_reason=""
  dwx_bits=64
  if [ "${DWX_NO_WIN32:-0}" = 1 ]; then
    dwx_win32_reason="DWX_NO_WIN32=1 is set"
    return 0
  fi
  local out
  if [ ! -x "$dwx_win32_loader" ]; then
    dwx_win32_reason="there is no 32-bit Wine loader ($dwx_win32_loader)"
    return 0
  fi
  if out=$("$dwx_win32_loader" --version 2>&1); then
    dwx_win32=1
    dwx_bits=32
    return 0
  fi
  out=$(printf '%s' "$out" | head -n 1)
  dwx_win32_reason="this machine does not start 32-bit programs (${out:-the 32-bit Wine loader failed})"
}

# One line: what this machine runs, why, and so what the script does with
# it: "$1 the 32-bit build" or "$2" (default "$1 the 64-bit build only").
dwx_say_platform() {
  if [ "$dwx_win32" = 1 ]; then
    echo "Platform: this machine runs 32-bit programs: $1 the 32-bit build, the product."
  else
    echo "Platform: $dwx_win32_reason: ${2:-$1 the 64-bit build only}."
  fi
}
