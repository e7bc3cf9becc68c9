#!/usr/bin/env bash
# What the running zarvo costs: for each case, a private Xvfb (24-bit) of the
# case's size, zarvo started in it, and then
#   - the time from exec to the first whole picture on the server, seen from
#     outside by build/.../tools/first-picture, which polls the window's
#     bottom row every millisecond (zarvo puts its first picture from the top
#     down, so a lit bottom row means the whole picture is there), and the
#     CPU time zarvo had used by then; over RUNS starts (median, least and
#     most), as one start on a busy machine says little;
#   - zarvo's and Xvfb's CPU over SECONDS (from one second after that
#     picture): utime + stime of /proc/<pid>/stat (fields 14 and 15, in clock
#     ticks) as % of one core, and beside it the same from
#     /proc/<pid>/schedstat, which counts nanoseconds (a tick figure over 30 s
#     moves in steps of 0.033 %);
#   - zarvo's resident memory: VmHWM (peak) and VmRSS (at the end).
# With -w the display server is a headless sway (run as nobody when started
# as root) instead of Xvfb, and zarvo speaks Wayland to it; the first whole
# picture is then seen by grim capturing the output's bottom row over and
# over until it changes, which takes some milliseconds a capture, so that
# time is coarser (by one capture, seen below as the least).
# Not run by the CI: a measurement, best made on an idle machine.
#
#   tools/measure-running.sh [-w] [-s SECONDS] [-n RUNS] [-b BUILD_DIR] [CASE...]
#   (30 s and 5 starts by default)
#
# Cases (all by default, each with --seed 1 and no stored settings):
#   window-default  a 1024x768 window, the default settings
#   window-120      a 1024x768 window, --redraw-speed 120
#   fit-120        --fullscreen --picture-size fit --redraw-speed 120 at 3840x2160
#   fit-default    --fullscreen --picture-size fit at 3840x2160
#   fit1080-120    --fullscreen --picture-size fit --redraw-speed 120 at 1920x1080
#   fit1080-default --fullscreen --picture-size fit at 1920x1080
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
seconds=30
runs=5
build=$src/build/native
server=Xvfb
while getopts ws:n:b: flag; do
  case $flag in
    w) server=sway ;;
    s) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    b) build=$(cd "$OPTARG" && pwd) ;;
    *) sed -n '2,/^set -e/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
[[ $seconds =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a positive whole number" >&2; exit 2; }
[[ $runs =~ ^[1-9][0-9]*$ ]] || { echo "RUNS must be a positive whole number" >&2; exit 2; }
zarvo=$build/linux/zarvo
probe=$build/tools/first-picture
[ "$server" = Xvfb ] || probe=$zarvo  # grim stands in for the probe
for program in "$zarvo" "$probe"; do
  [ -x "$program" ] || { echo "no $program: build the native preset first" >&2; exit 1; }
done
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=(window-default window-120 fit-120 fit-default)

work=$(mktemp -d /tmp/zarvo-measure-XXXXXX)
runtime=
xvfb_pid=
zarvo_pid=
cleanup() {
  [ -n "$zarvo_pid" ] && kill "$zarvo_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
  [ -z "$runtime" ] || rm -rf "$runtime"
}
trap cleanup EXIT
ticks_per_second=$(getconf CLK_TCK)

now_ns() { date +%s%N; }
# utime + stime in clock ticks (the fields after the parenthesised name, which may hold spaces)
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
cpu_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

start_xvfb() {  # WxH
  rm -f "$work/display"
  Xvfb -displayfd 3 -screen 0 "$1x24" -br -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  [ -s "$work/display" ] || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
  unset WAYLAND_DISPLAY
  export DISPLAY=:$(head -n1 "$work/display")
}

# A headless sway of one output of that size; sway refuses root, so root
# starts it as nobody in a runtime folder of nobody's (root clients may
# still connect).
start_sway() {  # WxH
  runtime=$(mktemp -d /tmp/zarvo-measure-sway-XXXXXX)
  printf 'output HEADLESS-1 mode %s position 0 0\ndefault_border none\n' "$1" >"$runtime/config"
  local as=()
  if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$runtime"
    as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" HOME="$runtime" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman "${as[@]}" sway -c "$runtime/config" 2>"$work/sway.log" &
  xvfb_pid=$!
  local socket=
  for _ in $(seq 100); do
    socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' ! -name '*.lock' -printf '%f\n' | head -n1)
    [ -n "$socket" ] && break
    sleep 0.1
  done
  [ -n "$socket" ] || { echo "sway did not start:" >&2; cat "$work/sway.log" >&2; exit 1; }
  unset DISPLAY
  export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket
}

# Starts zarvo and waits until the bottom row of the output differs from
# what it showed before (sway's own empty desktop is grey, not black):
# prints what first-picture prints.
wayland_first_picture() {  # HEIGHT WIDTH TIMEOUT_MS zarvo [args...]
  local height=$1 width=$2 timeout=$3
  shift 3
  local row=(grim -g "0,$((height - 1)) ${width}x1" -t ppm -)
  local before started pid now shown=0
  before=$("${row[@]}" 2>/dev/null | md5sum)
  started=$(now_ns)
  "$@" 2>"$work/zarvo.log" &
  pid=$!
  echo "pid $pid"
  while now=$(now_ns); [ $(((now - started) / 1000000)) -lt "$timeout" ]; do
    if [ "$("${row[@]}" 2>/dev/null | md5sum)" != "$before" ]; then
      shown=1
      break
    fi
  done
  if [ "$shown" -eq 1 ]; then
    echo "first-picture-ms $(awk -v t="$((now - started))" 'BEGIN { printf "%.1f", t / 1e6 }')"
    echo "first-picture-cpu-ms $(awk -v n="$(cpu_ns "$pid")" 'BEGIN { printf "%.1f", n / 1e6 }')"
  else
    echo "first-picture-ms none"
  fi
}

stop_pid() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$1" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null || true
}

# measure NAME SCREEN_WxH WINDOW_WxH ZARVO_OPTIONS...
measure() {
  local name=$1 screen=$2 window=$3
  shift 3
  if [ "$server" = Xvfb ]; then start_xvfb "$screen"; else start_sway "$screen"; fi
  local width=${window%x*} height=${window#*x}
  mkdir -p "$work/config"
  : >"$work/starts"
  local run
  for run in $(seq "$runs"); do
    # Into a file: zarvo inherits the probe's standard output and outlives it.
    if [ "$server" = Xvfb ]; then
      XDG_CONFIG_HOME=$work/config "$probe" 0 $((height - 1)) "$width" 10000 \
        "$zarvo" --seed 1 "$@" >"$work/probe.out" 2>"$work/zarvo.log" || true
    else
      XDG_CONFIG_HOME=$work/config wayland_first_picture "$height" "$width" 10000 \
        "$zarvo" --seed 1 "$@" >"$work/probe.out" || true
    fi
    zarvo_pid=$(awk '$1 == "pid" { print $2 }' "$work/probe.out")
    awk '$1 == "first-picture-ms" && $2 != "none" { ms = $2 } $1 == "first-picture-cpu-ms" { cpu = $2 }
         END { if (ms != "") print ms, cpu }' "$work/probe.out" >>"$work/starts"
    # The last start runs on to be measured; the others end once seen.
    if [ "$run" -lt "$runs" ] && [ -n "$zarvo_pid" ]; then
      stop_pid "$zarvo_pid"
      sleep 0.2  # until the server has taken the window down
    fi
  done
  local first=
  if [ -s "$work/starts" ]; then
    first=$(paste <(cut -d' ' -f1 "$work/starts" | sort -n) <(cut -d' ' -f2 "$work/starts" | sort -n) |
      awk -v runs="$runs" '{ ms[NR] = $1; cpu[NR] = $2 }
        END { m = int((NR + 1) / 2)
              printf "median %.1f ms (least %.1f, most %.1f; %d of %d starts seen); zarvo CPU by then, median %.1f ms",
                     ms[m], ms[1], ms[NR], NR, runs, cpu[m] }')
  fi
  sleep 1
  if [ -z "$zarvo_pid" ] || ! kill -0 "$zarvo_pid" 2>/dev/null; then
    echo "$name: zarvo is not running:" >&2
    cat "$work/zarvo.log" >&2
    exit 1
  fi
  local t0 z0 zn0 x0 xn0 t1 z1 zn1 x1 xn1
  t0=$(now_ns); z0=$(cpu_ticks "$zarvo_pid"); zn0=$(cpu_ns "$zarvo_pid")
  x0=$(cpu_ticks "$xvfb_pid"); xn0=$(cpu_ns "$xvfb_pid")
  sleep "$seconds"
  t1=$(now_ns); z1=$(cpu_ticks "$zarvo_pid"); zn1=$(cpu_ns "$zarvo_pid")
  x1=$(cpu_ticks "$xvfb_pid"); xn1=$(cpu_ns "$xvfb_pid")
  local hwm rss
  hwm=$(status_kb "$zarvo_pid" VmHWM); rss=$(status_kb "$zarvo_pid" VmRSS)
  stop_pid "$zarvo_pid"; zarvo_pid=
  stop_pid "$xvfb_pid"; xvfb_pid=
  [ -z "$runtime" ] || { rm -rf "$runtime"; runtime=; }
  awk -v name="$name" -v server="$server" -v screen="$screen" -v options="$*" -v t="$((t1 - t0))" -v hz="$ticks_per_second" \
      -v z="$((z1 - z0))" -v zn="$((zn1 - zn0))" -v x="$((x1 - x0))" -v xn="$((xn1 - xn0))" \
      -v hwm="$hwm" -v rss="$rss" -v first="$first" 'BEGIN {
    s = t / 1e9
    printf "%s: zarvo %s on %s %s, %.1f s\n", name, options, server, screen, s
    printf "  zarvo  %6.3f %% of a core (%d ticks; schedstat %.3f %%)\n", 100 * z / hz / s, z, 100 * zn / t
    printf "  %-6s %6.3f %% of a core (%d ticks; schedstat %.3f %%)\n", server, 100 * x / hz / s, x, 100 * xn / t
    printf "  zarvo resident: peak %.1f MB, at the end %.1f MB\n", hwm / 1024, rss / 1024
    printf "  first whole picture after exec: %s\n", first == "" ? "not seen within 10 s" : first
  }'
}

for name in "${cases[@]}"; do
  case $name in
    window-default) measure "$name" 1024x768 1024x768 --geometry 1024x768+0+0 ;;
    window-120) measure "$name" 1024x768 1024x768 --geometry 1024x768+0+0 --redraw-speed 120 ;;
    fit-120) measure "$name" 3840x2160 3840x2160 --fullscreen --picture-size fit --redraw-speed 120 ;;
    fit-default) measure "$name" 3840x2160 3840x2160 --fullscreen --picture-size fit ;;
    fit1080-120) measure "$name" 1920x1080 1920x1080 --fullscreen --picture-size fit --redraw-speed 120 ;;
    fit1080-default) measure "$name" 1920x1080 1920x1080 --fullscreen --picture-size fit ;;
    *) echo "unknown case '$name' (window-default, window-120, fit-120, fit-default, fit1080-120," \
            "fit1080-default)" >&2; exit 2 ;;
  esac
done
