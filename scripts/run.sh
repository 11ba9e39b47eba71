#!/usr/bin/env bash
# Builds the component and starts the player shell with it, under Wine: the
# 32-bit build where this machine runs 32-bit programs, the 64-bit one
# otherwise. Arguments are passed to the shell: a WAV file (or --play FILE)
# plays at once, --config FILE keeps the settings there, and in the shell Space
# plays a test tone. Without a display of your own the shell runs its scripted
# session on a private one, saves its pictures under build/screenshots/ and
# exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
dwx_detect_win32
dwx_say_platform "running the shell from"
dwx_build_runnable "$root"

# The shell runs in build/bin: files, to play or to keep the settings in, are
# named from here.
arguments=()
while [ $# -gt 0 ]; do
  case "$1" in
    --play | --config)
      arguments+=("$1")
      if [ $# -gt 1 ]; then
        arguments+=("$(realpath -m -- "$2")")
        shift
      fi
      ;;
    -*) arguments+=("$1") ;;
    *) arguments+=("$(realpath -m -- "$1")") ;;
  esac
  shift
done
set -- ${arguments[@]+"${arguments[@]}"}

source "$root/scripts/display.sh"
if [ -n "${DISPLAY:-}" ]; then
  # Your own display: your own sound devices are listed.
  dwx_start_wine "$dwx_bits" own-home
  cd "$dwx_bin"
  "$dwx_wine" plinvox_shell.exe "$@"
else
  dwx_start_wine "$dwx_bits"
  cd "$dwx_bin"
  "$dwx_wine" plinvox_shell.exe --script "$@"
fi
