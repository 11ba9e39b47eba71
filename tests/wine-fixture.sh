#!/usr/bin/env bash
# start PREFIX HOME LOADER [CAPTURE]: makes a private Wine prefix and test
# HOME, and starts a wineserver that outlives each test program. LOADER is the
# Wine loader the programs run with: a 64-bit one (…/wine64) makes a 64-bit
# prefix, anything else a 32-bit one. With CAPTURE, an absolute path, what
# the programs play lands in that file as raw samples. stop PREFIX HOME
# LOADER: ends that server.
# What Wine prints while it makes the prefix goes to PREFIX.log, which is
# named when a step fails.
set -euo pipefail
action=$1 prefix=$2 home=$3 loader=${4:-wine} capture=${5:-}
export WINEPREFIX="$prefix" HOME="$home" WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe,winepulse.drv=
case "$(basename "$loader")" in
  wine64*) arch=win64 ;;
  *) arch=win32 ;;
esac
log="$prefix.log"

fail() {
  echo "wine-fixture: $1 (Wine's output: $log)" >&2
  exit 1
}

case "$action" in
  start)
    mkdir -p "$home" "$(dirname "$prefix")"
    # ALSA's default device becomes a null one: Wine then offers the same two
    # mixer devices ("Out: default", "In: default") on any machine. A capture
    # writes the samples, in the format the program opened the device with,
    # to a file before they go to the null device. A prefix keeps the sound
    # devices it found at its first start: one prefix is made for each way.
    if [ -n "$capture" ]; then
      mkdir -p "$(dirname "$capture")"
      printf 'pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' \
        "$capture" >"$home/.asoundrc"
    else
      printf 'pcm.!default { type null }\n' >"$home/.asoundrc"
    fi
    if [ ! -f "$prefix/system.reg" ]; then
      : >"$log"
      WINEARCH=$arch WINELOADER=$loader "$loader" wineboot --init >>"$log" 2>&1 ||
        fail "could not make the $arch prefix $prefix"
      # Wine draws window frames itself: a private Xvfb has no window manager
      # to draw them, and pictures of windows should show their captions.
      WINELOADER=$loader "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f \
        >>"$log" 2>&1 || fail "could not set up the prefix $prefix"
      wineserver -w  # the server wineboot started, gone before ours starts
      [ -f "$prefix/system.reg" ] || fail "wineboot left no prefix in $prefix"
    fi
    # One server for all the test programs, kept 30 s after the last one
    # leaves. A server already running (another run's) serves as well.
    wineserver -p30 </dev/null >>"$log" 2>&1 || true
    # Wine's own services start with the first program and keep its output
    # open as long as the server lives: started here, they hold the log, and
    # CTest does not wait for them after the first test program.
    WINELOADER=$loader "$loader" cmd /c exit </dev/null >>"$log" 2>&1 || true
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
  *) echo "usage: $0 start|stop PREFIX HOME [LOADER [CAPTURE]]" >&2; exit 2 ;;
esac
