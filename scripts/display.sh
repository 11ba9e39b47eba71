# Sourced by the run and test scripts: gives the Wine windows a display.
# With DISPLAY set, that display is used; otherwise a private Xvfb is started
# and stopped again (by its own PID) when the calling script exits.

dwx_private_xvfb_pid=""

dwx_stop_display() {
  if [ -n "$dwx_private_xvfb_pid" ]; then
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
