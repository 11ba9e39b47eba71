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

# The settings of a prefix whose windows go to a display without a window
# manager, a private Xvfb. Wine draws window frames itself, so that pictures
# of windows show their captions. Windows are not handed to a window manager:
# Wine would wait for one, up to 2 s, each time it shows or hides a managed
# window (a top-level window with a caption, or an active one), and that was
# most of the time of the tests that open such windows. run.sh, on a
# desktop, hands the shell's windows to the window manager while it runs.
set_up_prefix() {
  local key='HKCU\Software\Wine\X11 Driver'
  WINELOADER=$loader "$loader" reg add "$key" /v Decorated /d N /f >>"$log" 2>&1 &&
    WINELOADER=$loader "$loader" reg add "$key" /v Managed /d N /f >>"$log" 2>&1
}

# make_prefix: a new prefix, set up; says what went wrong and returns 1 when
# a step fails.
make_prefix() {
  WINEARCH=$arch WINELOADER=$loader "$loader" wineboot --init >>"$log" 2>&1 || {
    echo "could not make the $arch prefix $prefix"
    return 1
  }
  set_up_prefix || {
    echo "could not set up the prefix $prefix"
    return 1
  }
  wineserver -w  # the server wineboot started, gone before ours starts
  [ -f "$prefix/system.reg" ] || {
    echo "wineboot left no prefix in $prefix"
    return 1
  }
}

# Waits, a minute at most, for the wineserver of the prefix to leave, and
# ends it if it has not.
wait_for_server() {
  timeout 60 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
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
    # A creation that fails is tried once more from scratch, once the first
    # attempt's server has left: on a busy machine wineboot has been seen to
    # fail at once ("could not load kernel32.dll") and succeed when run again.
    if [ ! -f "$prefix/system.reg" ]; then
      : >"$log"
      if ! why=$(make_prefix); then
        echo "wine-fixture: $why; trying once more from scratch" >&2
        echo "== $why; the second attempt:" >>"$log"
        wait_for_server
        rm -rf "$prefix"
        why=$(make_prefix) || fail "$why, twice"
      fi
    fi
    # A prefix made before windows were left unmanaged gets that setting,
    # and the shell's own setting that a desktop run cut short left goes.
    if ! grep -q '^"Managed"="N"' "$prefix/user.reg"; then
      set_up_prefix || fail "could not set up the prefix $prefix"
    fi
    if grep -qF 'AppDefaults\\plinvox_shell.exe' "$prefix/user.reg"; then
      WINELOADER=$loader "$loader" reg delete 'HKCU\Software\Wine\AppDefaults\plinvox_shell.exe' /f \
        >>"$log" 2>&1 || true
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
