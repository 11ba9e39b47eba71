#!/usr/bin/env bash
# Builds the component and starts the player shell with it, under Wine.
# Arguments are passed to the shell. Without a display of your own the shell
# runs its scripted session on a private one, saves its pictures under
# build/screenshots/ and exits.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/build.sh"

source "$root/scripts/display.sh"
own_display=${DISPLAY:-}
dwx_ensure_display
"$root/tests/wine-fixture.sh" start "$root/build/wineprefix" "$root/build/test-home"
export WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe=
# On a private display nobody listens: the test HOME's null sound device keeps
# the mixer list the same on every machine. On your own display, your own
# sound devices are listed.
[ -n "$own_display" ] || export HOME="$root/build/test-home"
cd "$root/build/bin"
status=0
if [ -n "$own_display" ]; then
  wine plinvox_shell.exe "$@" || status=$?
else
  wine plinvox_shell.exe --script "$@" || status=$?
fi
# Wine's helper processes hold the private display; end them before it goes.
[ -n "$own_display" ] || "$root/tests/wine-fixture.sh" stop "$root/build/wineprefix" "$root/build/test-home"
exit "$status"
