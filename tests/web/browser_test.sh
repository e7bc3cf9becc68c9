#!/usr/bin/env bash
# The web page in headless Chromium against zarvo-render: for each run (size,
# picture size, seed, ticks) the canvas after the ticks, and again after a
# slider moved, must equal zarvo-render's picture for the same settings pixel
# for pixel; the slider must change the picture, and the browser must log no
# console message. Then the page's own controls, its size and its timer.
# Usage: browser_test.sh WEB_DIR ZARVO_RENDER
set -uo pipefail
web=$1 render=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# shellcheck source=browser_common.sh
. "$here/browser_common.sh"

# The page with the driver beside it.
cp "$web/index.html" "$web/zarvo.js" "$web/scene_runner.js" "$work/"
add_driver "$work/index.html" "$here/driver.js"

# run SIZE PICTURE-NAME PICTURE-NUMBER SEED TICKS SLIDER
run() {
  local size=$1 name=$2 number=$3 seed=$4 ticks=$5 slide=$6 label="$1 $2 seed $4"
  local log=$work/chromium.log out=$work/dom.html
  chromium_run "$log" "$out" index.html "seed=$seed&size=$size&picture=$number&ticks=$ticks&slide=$slide&hold"
  local cases
  cases=$(sed -n 's/^.*<pre id="result">//; /^case /p' "$out" | sed 's#</pre>.*##')
  [ "$(grep -c '^case ' <<<"$cases")" -eq 2 ] || { fail "$label: the page reported no result"; return; }
  local digests=()
  while read -r _ which state shown _ settings; do
    local values=${settings% digest *} digest=${settings##* }
    [ "$state" = running ] || fail "$label $which: the page says the scene refused $shown"
    [ "$shown" = "$size" ] || fail "$label $which: canvas is $shown"
    local expected
    expected=$(render_digest "$size" "$name" "$seed" "$ticks" "$values")
    if [ "$digest" = "$expected" ]; then
      echo "ok: $label, $which settings ($values): canvas after $ticks ticks equals zarvo-render's"
    else
      fail "$label, $which settings ($values): canvas $digest, zarvo-render $expected"
    fi
    digests+=("$digest")
  done <<<"$cases"
  [ "${digests[0]:-}" != "${digests[1]:-x}" ] || fail "$label: moving slider $slide did not change the scene"
}

# Sliders that start the scene again, compared with zarvo-render's run from
# the start.
run 640x480 centred 0 5 40 3
run 1000x700 fit 2 4000000000 25 5
run 1280x960 whole-multiples 1 77 15 3
run 1280x600 cover 3 11 20 3

# Sliders on a running scene, and a canvas that follows the stage in device
# pixels (twice as many as CSS pixels here) as it is made smaller, down to
# narrower than the scene.
chromium_run "$work/chromium.log" "$work/dom.html" index.html "seed=9&hold&live" --force-device-scale-factor=2 --window-size=900,700
result=$(result_of "$work/dom.html")
echo "$result"
expect "the canvas is the stage's size in device pixels" "initial ([0-9]+x[0-9]+) stage \\1 running"
expect "the page shows the whole picture, opaque black beside it" "picture Fit band 0,0,0,255"
expect "redraw and circle speed change the running scene without a new start" "live kept same period 591 10"
expect "the scene goes on after, and the page says it has drawn the figures" "ticks moved marker drawn"
expect "walkway walkers start the scene again" "walkway-walkers started"
expect "a smaller stage gives a smaller canvas" "resized 1400x800 stage 1400x800 running"
expect "a stage narrower than the scene still shows it" "resized 600x500 stage 600x500 running"

# The page's own timer: the canvas moves, stands still while space pauses it
# and moves again after.
chromium_run "$work/chromium.log" "$work/dom.html" index.html "seed=9&size=640x480"
result=$(result_of "$work/dom.html")
for expected in "timer moved" "paused still" "paused-resumed moved" "hidden still" "hidden-resumed moved"; do
  expect "$expected" "$expected"
done
echo "page: $(du -cb "$web/index.html" "$web/scene_runner.js" "$web/zarvo.js" | tail -1 | cut -f1) bytes (index.html, scene_runner.js and zarvo.js)"
[ "$failures" -eq 0 ] && echo "browser test passed" || echo "browser test: $failures failures"
[ "$failures" -eq 0 ]
