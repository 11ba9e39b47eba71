#!/usr/bin/env bash
# Builds the component and starts the player shell with it, under Wine: the
# 32-bit build where this machine runs 32-bit programs, the 64-bit one
# otherwise. Arguments are passed to the shell. Without a display of your own
# the shell runs its scripted session on a private one, saves its pictures
# under build/screenshots/ and exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
dwx_detect_win32
dwx_say_platform "running the shell from"
bits=32
[ "$dwx_win32" = 1 ] || bits=64
if [ "$bits" = 64 ]; then "$root/scripts/build.sh" --win64; else "$root/scripts/build.sh"; fi

source "$root/scripts/display.sh"
if [ -n "${DISPLAY:-}" ]; then
  # Your own display: your own sound devices are listed.
  dwx_start_wine "$bits" own-home
  cd "$dwx_bin"
  "$dwx_wine" plinvox_shell.exe "$@"
else
  dwx_start_wine "$bits"
  cd "$dwx_bin"
  "$dwx_wine" plinvox_shell.exe --script "$@"
fi
