# Sourced by the run, bench and test scripts, after platform.sh: gives the
# Wine windows a display and the project's Wine prefix. With DISPLAY set,
# that display is used; otherwise a private Xvfb is started, and stopped
# again (by its own PID), together with Wine's processes on it, when the
# calling script exits.

dwx_private_xvfb_pid=""

dwx_stop_display() {
  if [ -n "$dwx_private_xvfb_pid" ]; then
    # Wine's helper processes hold the display; they go first.
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
    kill "$dwx_private_xvfb_pid" 2>/dev/null || true
    wait "$dwx_private_xvfb_pid" 2>/dev/null || true
    dwx_private_xvfb_pid=""
  fi
}

dwx_ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ] && continue
    Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    dwx_private_xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      if [ -e "/tmp/.X11-unix/X${n}" ]; then
        export DISPLAY=":$n"
        trap dwx_stop_display EXIT
        return 0
      fi
      kill -0 "$dwx_private_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    dwx_stop_display
  done
  echo "Could not start Xvfb" >&2
  return 1
}

# A display, and the private Wine prefix of one build ready, with the
# environment its programs run in. The first argument picks the build: 32 or
# 64 (platform.sh says where each lives). Sets dwx_wine, the loader that runs
# that build's programs, and dwx_bin, the folder they are in, as the build
# wrote them to its wine-environment.sh. HOME becomes the test home, whose
# null sound device gives the same two mixers on every machine, unless the
# second argument is "own-home".
dwx_start_wine() {
  local dwx_wine_prefix
  source "$(dwx_build_dir "$1")/wine-environment.sh"
  dwx_ensure_display
  "$dwx_root/tests/wine-fixture.sh" start "$dwx_wine_prefix" "$dwx_test_home" "$dwx_wine"
  export WINEPREFIX="$dwx_wine_prefix" WINEDEBUG=-all \
    WINEDLLOVERRIDES=mscoree,mshtml,winedbg.exe=
  [ "${2:-}" = own-home ] || export HOME="$dwx_test_home"
}
