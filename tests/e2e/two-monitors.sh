#!/usr/bin/env bash
# An X display with two monitors side by side, for the end-to-end tests:
# 1024 x 768 (the primary) at 0,0 and 800 x 600 at 1024,0, so Wine sees a
# virtual screen of 1824 x 768. Xvfb cannot do that (its Xinerama heads all
# sit at 0,0); Xorg with the dummy video driver and RandR can.
#
#   two-monitors.sh start WORKDIR [FIRST-DISPLAY]  prints ":N" once the display is ready
#   two-monitors.sh stop WORKDIR                   ends the display started in WORKDIR
#
# Sourced, it gives start_two_monitors WORKDIR FIRST-DISPLAY (sets DISPLAY
# and two_monitors_pid), start_dummy_display (the same server with the first
# monitor only, whose size can then change) and stop_two_monitors. The
# configuration, the server's log and its process id stay in WORKDIR.

two_monitors_pid=""

# Xorg reads the dummy driver's screen from this: video memory and a
# framebuffer wide enough for both monitors; no input devices of its own
# (xdotool's events come through XTEST).
write_two_monitors_config() {
  cat >"$1" <<'EOF'
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam 256000
EndSection
Section "Monitor"
  Identifier "monitor"
  HorizSync 5.0 - 1000.0
  VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
  Identifier "screen"
  Device "dummy"
  Monitor "monitor"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual 2048 768
  EndSubSection
EndSection
EOF
}

# The second monitor as xrandr lists it once it is placed.
two_monitors_placed() {
  xrandr 2>/dev/null | grep -q '^DUMMY1 connected 800x600+1024+0'
}

# start_dummy_display WORKDIR FIRST-DISPLAY: Xorg with one 1024 x 768 monitor
# on the first free number from FIRST-DISPLAY, ready within 20 s.
start_dummy_display() {
  local work=$1 n=$2
  mkdir -p "$work" || return 1
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  write_two_monitors_config "$work/two-monitors.conf"
  # -sharevts: a server run as root otherwise takes a virtual terminal of
  # the machine's console for itself and switches to it.
  Xorg ":$n" -config "$work/two-monitors.conf" -noreset -nolisten tcp -sharevts -novtswitch \
    -logfile "$work/xorg-$n.log" </dev/null >"$work/xorg-$n.out" 2>&1 &
  two_monitors_pid=$!
  export DISPLAY=":$n"
  local deadline=$((SECONDS + 20))
  until xdpyinfo >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$two_monitors_pid" 2>/dev/null; then
      echo "Xorg :$n did not start; see $work/xorg-$n.log" >&2
      tail -n 5 "$work/xorg-$n.out" >&2
      stop_two_monitors
      return 1
    fi
    sleep 0.1
  done
}

# start_two_monitors WORKDIR FIRST-DISPLAY: the second monitor placed too.
start_two_monitors() {
  start_dummy_display "$@" || return 1
  if ! { xrandr --addmode DUMMY1 800x600 && xrandr --output DUMMY1 --mode 800x600 --right-of DUMMY0 &&
         two_monitors_placed; } >&2; then
    echo "Xorg $DISPLAY has no second monitor at 1024,0: $(xrandr 2>&1 | grep '^DUMMY1')" >&2
    stop_two_monitors
    return 1
  fi
}

stop_two_monitors() {
  [ -n "$two_monitors_pid" ] || return 0
  # A stale process id may name another program by now.
  if [ "$(cat "/proc/$two_monitors_pid/comm" 2>/dev/null)" != Xorg ]; then
    two_monitors_pid=""
    return 0
  fi
  kill "$two_monitors_pid" 2>/dev/null
  # Not a child when started by another run of this script.
  wait "$two_monitors_pid" 2>/dev/null
  local deadline=$((SECONDS + 10))
  while kill -0 "$two_monitors_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  two_monitors_pid=""
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  case "${1:-} ${2:+workdir}" in
    "start workdir")
      start_two_monitors "$2" "${3:-90}" || exit 1
      printf '%s\n' "$two_monitors_pid" >"$2/two-monitors.pid"
      printf '%s\n' "$DISPLAY" ;;
    "stop workdir")
      [ -f "$2/two-monitors.pid" ] || { echo "no display started in $2" >&2; exit 1; }
      two_monitors_pid=$(cat "$2/two-monitors.pid")
      stop_two_monitors
      rm -f "$2/two-monitors.pid" ;;
    *) echo "usage: two-monitors.sh start WORKDIR [FIRST-DISPLAY] | stop WORKDIR" >&2; exit 2 ;;
  esac
fi
