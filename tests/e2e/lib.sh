# Shared machinery of the end-to-end scripts: an Xvfb display, a Wine prefix
# of the run's own, the driver on a pipe, checks and screenshots.
# Sourced by run-e2e.sh; every wait has a timeout.

failures=0
checks=0
# Wine under qemu-user emulation is tens of times slower: every wait below
# scales by this factor.
wait_scale=${ZARVO_WAIT_SCALE:-1}
wine_loader=${ZARVO_WINE_LOADER:-wine}
xvfb_pid=""
driver_pid=""

scaled() { printf '%s' $(($1 * wait_scale)); }

log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*"; }

fail() { failures=$((failures + 1)); log "FAIL: $*"; }

# check WHAT EXPECTED ACTUAL
check() {
  checks=$((checks + 1))
  if [ "$2" != "$3" ]; then fail "$1: expected '$2', got '$3'"; fi
}

# check_true WHAT COMMAND...: the command succeeds.
check_true() {
  local what=$1; shift
  checks=$((checks + 1))
  "$@" || fail "$what"
}

# Percent-encoding of one driver argument.
enc() {
  local text=$1 out="" i c
  [ -z "$text" ] && { printf '~'; return; }
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    case "$c" in
      [A-Za-z0-9./:_-]) out+=$c ;;
      *) out+=$(printf '%%%02X' "'$c") ;;
    esac
  done
  printf '%s' "$out"
}

free_display() {
  local n=$1
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  printf '%s' "$n"
}

# start_xvfb WIDTHxHEIGHTxDEPTH: a display of our own, ready within 20 s.
start_xvfb() {
  local n
  n=$(free_display "$display_base")
  Xvfb ":$n" -screen 0 "$1" -nolisten tcp >"$work/xvfb-$n.log" 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  local deadline=$((SECONDS + 20))
  until xdpyinfo >/dev/null 2>&1; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
      log "Xvfb $1 did not start"; cat "$work/xvfb-$n.log"; return 1
    fi
    sleep 0.1
  done
  log "display $DISPLAY is $1"
}

stop_xvfb() {
  [ -n "$xvfb_pid" ] || return 0
  kill "$xvfb_pid" 2>/dev/null
  wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
}

wine_overrides() {
  export WINEDEBUG=-all
  # No crash debugger (a fault ends the process at once), and the stand-in
  # MPR.DLL of the stage folder before the built-in one.
  export WINEDLLOVERRIDES="winedbg.exe=d;mscoree,mshtml=;mpr=n,b"
}

# A fresh prefix for this run, made once (both wine64 and wine32 present).
make_prefix() {
  export WINEPREFIX=$work/prefix
  wine_overrides
  rm -rf "$WINEPREFIX"
  log "making the Wine prefix"
  timeout "$(scaled 180)" "$wine_loader" wineboot -i >"$work/wineboot.log" 2>&1 ||
    { log "wineboot failed"; return 1; }
  timeout "$(scaled 60)" wineserver -w
}

# use_shared_prefix [PATH]: a prefix kept from run to run, made if it is not
# there yet (by default the build's unit program's): under emulation, or on a
# busy machine, a fresh prefix costs minutes more.
use_shared_prefix() {
  local prefix
  prefix=$(WINEPREFIX=${1:-} timeout "$(scaled 180)" "$here/../../cmake/wine-run.sh" \
             "$wine_loader" --make-prefix) || { log "wineboot failed"; return 1; }
  export WINEPREFIX=$prefix
  log "using the kept Wine prefix $WINEPREFIX"
  wine_overrides
}

# The Wine server of this prefix ends by itself once its last process has gone.
wait_wine_idle() {
  timeout "$(scaled 60)" wineserver -w || { log "wineserver still busy; stopping it"; wineserver -k; }
}

start_driver() {
  coproc DRIVER { exec "$wine_loader" "$stage/zarvo-e2e-driver.exe" 2>>"$work/driver.log"; }
  driver_pid=$DRIVER_PID
  local line
  if ! read_reply "$(scaled 60)"; then log "the driver did not start"; return 1; fi
}

# Bash unsets the pipe of a coprocess that has ended.
driver_running() { [ -n "${DRIVER[0]:-}" ] && [ -n "${DRIVER[1]:-}" ]; }

# read_reply SECONDS: the next answer line of the driver into $reply.
read_reply() {
  local line
  driver_running || { reply="the driver is not running"; return 1; }
  while IFS= read -r -t "$1" line <&"${DRIVER[0]}"; do
    line=${line%$'\r'}
    case "$line" in
      "= "*) reply=${line#= }; return 0 ;;
      "=") reply=""; return 0 ;;
      "! "*) reply=${line#! }; return 1 ;;
    esac
  done
  reply="no answer from the driver"
  return 1
}

# drv COMMAND ARGS...: arguments are encoded here; the answer is in $reply.
drv() {
  local words=("$1") arg
  shift
  for arg in "$@"; do words+=("$(enc "$arg")"); done
  driver_running || { reply="the driver is not running"; return 1; }
  printf '%s\n' "${words[*]}" >&"${DRIVER[1]}"
  read_reply "$(scaled 120)"
}

stop_driver() {
  [ -n "$driver_pid" ] || return 0
  drv kill-all >/dev/null 2>&1
  driver_running && printf 'quit\n' >&"${DRIVER[1]}" 2>/dev/null
  local deadline=$((SECONDS + $(scaled 20)))
  while kill -0 "$driver_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  kill "$driver_pid" 2>/dev/null
  wait "$driver_pid" 2>/dev/null
  driver_pid=""
}

cleanup() {
  stop_driver
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && wait_wine_idle
  stop_xvfb
  stop_two_monitors
}

# wait_for SECONDS COMMAND...: polls the command until it succeeds; the
# seconds are those of a native run.
wait_for() {
  local deadline=$((SECONDS + $(scaled "$1"))); shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}

shot() { import -window root "$1"; }

# crop IN GEOMETRY OUT
crop() { convert "$1" -crop "$2" +repage "$3"; }

# differing_pixels A B: how many pixels differ.
differing_pixels() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1; }

# mask IN X Y W H OUT: the rectangle painted magenta.
mask() {
  convert "$1" -fill magenta -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))" "$6"
}

# A command-line tail the saver refuses ends at once with -1 (255 for Wine's
# own exit status; the driver reports the Windows code).
exit_code_of() {  # exit_code_of ID SECONDS
  if drv wait-exit "$1" "$(scaled $(($2 * 1000)))"; then printf '%s' "$reply"; else printf 'still running'; fi
}

saver_start() {  # saver_start ID TAIL
  drv start "$1" "$stage/Zarvo.scr" "$2" || fail "cannot start Zarvo.scr '$2': $reply"
}
