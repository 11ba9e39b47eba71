#!/usr/bin/env bash
# start PREFIX HOME: makes the private Wine prefix and test HOME, and starts a
# wineserver that outlives each test program. stop PREFIX HOME: ends it.
set -euo pipefail
action=$1 prefix=$2 home=$3
export WINEPREFIX="$prefix" HOME="$home" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe=

case "$action" in
  start)
    mkdir -p "$home"
    # ALSA's default device becomes a null one: Wine then offers the same two
    # mixer devices ("Out: default", "In: default") on any machine.
    printf 'pcm.!default { type null }\n' >"$home/.asoundrc"
    if [ ! -f "$prefix/system.reg" ]; then
      WINEARCH=win32 wineboot --init >/dev/null 2>&1
      # Wine draws window frames itself: a private Xvfb has no window manager
      # to draw them, and pictures of windows should show their captions.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
      wineserver -w  # the server wineboot started, gone before ours starts
    fi
    # One server for all the test programs, kept 30 s after the last one
    # leaves. A server already running (another run's) serves as well.
    wineserver -p30 </dev/null >/dev/null 2>&1 || true
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX HOME" >&2; exit 2 ;;
esac
