#!/usr/bin/env bash
# Builds the component and starts the player shell with it, under Wine: the
# 32-bit build where this machine runs 32-bit programs, the 64-bit one
# otherwise, and of that build only what the shell needs (the DLL,
# utf8api.dll, the stand-in host and the shell). Arguments are passed to the
# shell: a WAV file (or --play FILE) plays at once, --config FILE keeps the
# settings there, and in the shell Space plays a test tone. Without a display
# of your own the shell runs its scripted session on a private one, saves its
# pictures under build/screenshots/, prints their paths and exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$root/scripts/platform.sh"
# Setup first: it may install the 32-bit loader that decides the platform.
"$root/scripts/setup.sh"
dwx_detect_win32
dwx_say_platform "running the shell from"
build_options=(--werror --target dwx_volume --target utf8api --target standin_host
               --target plinvox_shell)
[ "$dwx_bits" = 32 ] || build_options+=(--no-win32 --win64)
"$root/scripts/build.sh" "${build_options[@]}"

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
  # Your own display: your own sound devices are listed, and your window
  # manager has the shell's windows while it runs (the prefix, made for the
  # tests' private displays, hands it none).
  dwx_start_wine "$dwx_bits" own-home
  shell_settings='HKCU\Software\Wine\AppDefaults\plinvox_shell.exe'
  "$dwx_wine" reg add "$shell_settings\X11 Driver" /v Managed /d Y /f >/dev/null 2>&1 || true
  trap '"$dwx_wine" reg delete "$shell_settings" /f >/dev/null 2>&1 || true' EXIT
  cd "$dwx_bin"
  "$dwx_wine" plinvox_shell.exe "$@"
else
  dwx_start_wine "$dwx_bits"
  cd "$dwx_bin"
  # The shell names its pictures as Windows sees them; Wine's drive Z: is
  # the Linux root. Wine's C runtime ends its lines with CR LF.
  "$dwx_wine" plinvox_shell.exe --script "$@" | while IFS= read -r line; do
    line=${line%$'\r'}
    if [[ $line == "picture: Z:"* ]]; then
      path=${line#picture: Z:}
      line="picture: ${path//\\//}"
    fi
    printf '%s\n' "$line"
  done
  exit "${PIPESTATUS[0]}"
fi
