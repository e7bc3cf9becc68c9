# Life cycles of Zarvo.scr repeated: full-screen runs dismissed by a key and
# previews whose parent window is destroyed, each ending with exit code 0 and
# leaving no saver window or process behind. CI runs a tenth of each;
# ZARVO_LIFE_CYCLE_FULL=1 (tools/life-cycle.sh --full) runs them all.

# cycles FULL: how many cycles of a kind this run makes.
cycles() {
  if [ "${ZARVO_LIFE_CYCLE_FULL:-0}" = 1 ]; then printf '%s' "$1"; else printf '%s' $(($1 / 10)); fi
}

# A random moment of up to half a second: input and the end of a parent
# land at different points of a run's start-up from one cycle to the next.
random_pause() { sleep "0.$(printf '%03d' $((RANDOM % 500)))"; }

no_saver_process() { drv processes Zarvo.scr && [ "$reply" = 0 ]; }

saver_in_front() { drv foreground && [ "$reply" = "$saver" ]; }

# left_nothing WHAT: no full-screen window and no saver process remain. A
# cycle that left something ends every saver, so the next starts clean.
left_nothing() {
  local window
  window=$(drv find "$saver_class" "Screen Saver" 0; echo "$reply")
  if [ "$window" != "not found" ]; then
    fail "$1 left the full-screen window $window"
  elif ! wait_for 5 no_saver_process; then
    fail "$1 left $reply Zarvo.scr processes"
  else
    return 0
  fi
  drv kill-all >/dev/null
  return 1
}

# ended_cleanly ID WHAT: exit code 0 and nothing left.
ended_cleanly() {
  local code
  code=$(exit_code_of "$1" 15)
  if [ "$code" != 0 ]; then
    fail "$2 ended with '$code', expected 0"
    drv kill-all >/dev/null
    return 1
  fi
  left_nothing "$2"
}

cycle_full_screen() {  # cycle_full_screen N
  local what="full-screen run $1"
  start_full_screen "fs$1" "/s" || { drv kill-all >/dev/null; return 1; }
  # A key pressed before the saver has the focus goes elsewhere.
  wait_for 5 saver_in_front || { fail "$what never came to the front"; drv kill-all >/dev/null; return 1; }
  random_pause
  xdotool key a
  ended_cleanly "fs$1" "$what"
}

cycle_preview() {  # cycle_preview N
  local what="preview $1" parent
  drv parent 100 100 300 200 || { fail "no parent window for $what: $reply"; return 1; }
  parent=$reply
  saver_start "prv$1" "/p $parent"
  find_preview "$parent" || { drv destroy "$parent" >/dev/null; drv kill-all >/dev/null; return 1; }
  random_pause
  drv destroy "$parent" >/dev/null
  ended_cleanly "prv$1" "$what"
}

# repeat KIND FULL: runs cycle_KIND that many times and logs the tally.
repeat_cycles() {
  local kind=$1 count clean=0 i
  count=$(cycles "$2")
  for ((i = 1; i <= count; i++)); do
    if "cycle_$kind" "$i"; then clean=$((clean + 1)); fi
  done
  checks=$((checks + count))
  log "$kind: $clean of $count cycles ended with exit code 0 and left nothing"
}

run_life_cycles() {
  local seed=${ZARVO_LIFE_CYCLE_SEED:-$$}
  RANDOM=$seed
  log "random moments from seed $seed (ZARVO_LIFE_CYCLE_SEED repeats them)"
  # A prefix of this group's own: in a shared one, other tests' saver windows
  # and processes would count as left behind.
  use_shared_prefix "$work-prefix" || { fail "no Wine prefix"; return; }
  wait_wine_idle  # a run stopped half-way may have left savers in it
  start_xvfb 1024x768x24 || { fail "no display"; return; }
  start_driver || { fail "no driver"; return; }
  drv processes Zarvo.scr || { fail "the driver cannot count processes: $reply"; return; }
  repeat_cycles full_screen 100
  repeat_cycles preview 20
}
