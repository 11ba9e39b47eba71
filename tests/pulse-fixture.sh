#!/usr/bin/env bash
# start DIR: starts a PulseAudio daemon of the tests' own, with its runtime
# folder and HOME in DIR and no user session, whose one sink is a null sink
# that takes sound in real time; and records that sink's monitor with parec,
# as 16-bit stereo at 44.1 kHz, to DIR/recording.raw. The Wine programs reach
# it through PULSE_SERVER=unix:DIR/run/native. stop DIR: ends the recorder
# and the daemon, each by the PID kept in DIR.
# What they print goes to DIR/*.log, named when a step fails.
set -euo pipefail
action=$1 dir=$2
socket="$dir/run/native"

fail() {
  echo "pulse-fixture: $1 (logs in $dir)" >&2
  exit 1
}

stop_pid() {
  local file=$1 pid
  [ -f "$file" ] || return 0
  pid=$(cat "$file")
  rm -f "$file"
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$pid" 2>/dev/null || true
}

case "$action" in
  start)
    command -v pulseaudio >/dev/null && command -v parec >/dev/null ||
      fail "pulseaudio and parec are not installed (scripts/setup.sh installs them)"
    stop_pid "$dir/parec.pid"
    stop_pid "$dir/pulseaudio.pid"
    rm -rf "$dir/run"
    mkdir -p "$dir/run" "$dir/home"
    chmod 700 "$dir/run"
    cat >"$dir/default.pa" <<PA
load-module module-native-protocol-unix auth-anonymous=1 socket=$socket
load-module module-null-sink sink_name=capture rate=44100 format=s16le channels=2
set-default-sink capture
PA
    # Nothing of the user's: no session bus, no autospawned daemon, no
    # configuration but this one.
    env -i PATH="$PATH" HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" \
      pulseaudio -n -F "$dir/default.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
      --realtime=yes --high-priority=yes --log-target=stderr \
      </dev/null >"$dir/pulseaudio.log" 2>&1 &
    echo $! >"$dir/pulseaudio.pid"
    for _ in $(seq 1 100); do
      pactl -s "unix:$socket" info >/dev/null 2>&1 && break
      kill -0 "$(cat "$dir/pulseaudio.pid")" 2>/dev/null || fail "pulseaudio did not start"
      sleep 0.1
    done
    pactl -s "unix:$socket" info >/dev/null 2>&1 || fail "pulseaudio did not answer"
    # Small fragments: the file grows every few milliseconds, and the tests
    # use its length as a clock.
    parec -s "unix:$socket" -d capture.monitor --format=s16le --rate=44100 --channels=2 --raw \
      --latency-msec=5 </dev/null >"$dir/recording.raw" 2>"$dir/parec.log" &
    echo $! >"$dir/parec.pid"
    sleep 0.5
    kill -0 "$(cat "$dir/parec.pid")" 2>/dev/null || fail "parec did not start"
    ;;
  stop)
    stop_pid "$dir/parec.pid"
    stop_pid "$dir/pulseaudio.pid"
    ;;
  *) echo "usage: $0 start|stop DIR" >&2; exit 2 ;;
esac
