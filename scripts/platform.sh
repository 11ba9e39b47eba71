# Sourced by the scripts: finds out once whether this machine runs 32-bit
# programs, which decides which Windows build runs here. The 32-bit build is
# the product; the 64-bit one exists so that a machine whose kernel refuses
# 32-bit programs (Debian's 32-bit Wine loader is itself an i386 program)
# still runs every behaviour test.
#
# Sets dwx_win32 (1 or 0) and dwx_win32_reason (why not, when 0).
# DWX_NO_WIN32=1 takes the 64-bit-only path on any machine.

dwx_detect_win32() {
  dwx_win32=0
  dwx_win32_reason=""
  if [ "${DWX_NO_WIN32:-0}" = 1 ]; then
    dwx_win32_reason="DWX_NO_WIN32=1 is set"
    return 0
  fi
  local loader=/usr/lib/wine/wine out
  if [ ! -x "$loader" ]; then
    dwx_win32_reason="there is no 32-bit Wine loader ($loader)"
    return 0
  fi
  if out=$("$loader" --version 2>&1); then
    dwx_win32=1
    return 0
  fi
  out=$(printf '%s' "$out" | head -n 1)
  dwx_win32_reason="this machine does not start 32-bit programs (${out:-the 32-bit Wine loader failed})"
}

# One line: what this machine runs, and so what the script will do.
dwx_say_platform() {
  if [ "$dwx_win32" = 1 ]; then
    echo "Platform: this machine runs 32-bit programs: $1 the 32-bit build, the product."
  else
    echo "Platform: $dwx_win32_reason: $1 the 64-bit build only."
  fi
}

# The two Windows builds: where each lives, and the Wine loader that runs it.
dwx_win32_build() { echo "$1/build"; }
dwx_win64_build() { echo "$1/build/win64"; }
dwx_win64_loader=/usr/lib/wine/wine64

# Builds what this machine can run, the 32-bit build or else the 64-bit one,
# and sets dwx_bits to 32 or 64. With --werror, as the tests build it, so
# that the same flags need no rebuild after them.
dwx_build_runnable() {
  local root=$1
  dwx_bits=32
  [ "$dwx_win32" = 1 ] || dwx_bits=64
  if [ "$dwx_bits" = 64 ]; then
    "$root/scripts/build.sh" --werror --win64
  else
    "$root/scripts/build.sh" --werror
  fi
}
