#!/usr/bin/env bash
# Builds the component and starts the player shell with it, under Wine.
# Arguments are passed to the shell. Without a display of your own the shell
# runs its scripted session on a private one, saves its pictures under
# build/screenshots/ and exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"

source "$root/scripts/display.sh"
if [ -n "${DISPLAY:-}" ]; then
  # Your own display: your own sound devices are listed.
  dwx_start_wine own-home
  cd "$root/build/bin"
  wine plinvox_shell.exe "$@"
else
  dwx_start_wine
  cd "$root/build/bin"
  wine plinvox_shell.exe --script "$@"
fi
