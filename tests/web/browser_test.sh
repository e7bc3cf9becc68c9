#!/usr/bin/env bash
# The web page in headless Chromium against zarvo-render: for each run (size,
# picture size, seed, ticks) the canvas after the ticks, and again after a
# slider moved, must equal zarvo-render's picture for the same settings pixel
# for pixel; the slider must change the picture, and the browser must log no
# console message. Usage: browser_test.sh WEB_DIR ZARVO_RENDER
set -uo pipefail
web=$1 render=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# The page with the driver beside it.
cp "$web/index.html" "$web/zarvo.js" "$here/driver.js" "$work/"
sed -i 's#<script src="zarvo.js"></script>#&<script src="driver.js"></script>#' "$work/index.html"
grep -q driver.js "$work/index.html" || { echo "FAIL: the page no longer loads zarvo.js as the test expects"; exit 1; }

# A stored settings record (18 little-endian 32-bit integers) from "min max value" x 6.
write_settings() {
  local file=$1 n
  shift
  : >"$file"
  for n in "$@"; do
    printf "\\x$(printf %02x $((n & 255)))\\x$(printf %02x $((n >> 8 & 255)))\\x$(printf %02x $((n >> 16 & 255)))\\x$(printf %02x $((n >> 24 & 255)))" >>"$file"
  done
}

# SHA-256 of zarvo-render's RGB picture for: size picture-size seed ticks "settings".
render_digest() {
  local settings=$work/settings png=$work/render.png
  # shellcheck disable=SC2086
  write_settings "$settings" $5
  "$render" --size "$1" --picture-size "$2" --seed "$3" --ticks "$4" --settings "$settings" --out "$png" || return 1
  convert "$png" -depth 8 rgb:- | sha256sum | cut -d' ' -f1
}

# chromium LOG DOM FRAGMENT [CHROMIUM OPTIONS...]: the page with the driver,
# its DOM after the run.
# Headless Chromium dumps the DOM when its virtual time runs out, and the
# wasm compile runs outside that clock (the driver's digests no longer do):
# should the dump come before the driver's result on a busy machine, the run
# is made again, up to three in all; a page that never gives one still fails.
chromium_run() {
  local attempt
  for attempt in 1 2 3; do
    timeout 120 chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --log-level=0 \
      --user-data-dir="$work/profile" --virtual-time-budget=60000 "${@:4}" --dump-dom "file://$work/index.html#$3" \
      >"$2" 2>"$1"
    grep -q '<pre id="result">' "$2" && break
    echo "note: #$3: no result in the DOM after run $attempt of 3"
    [ "$attempt" -lt 3 ] || tail -5 "$1"
  done
  if grep -q 'CONSOLE' "$1"; then fail "#$3: console messages:"; grep 'CONSOLE' "$1"; fi
}

# run SIZE PICTURE-NAME PICTURE-NUMBER SEED TICKS SLIDER
run() {
  local size=$1 name=$2 number=$3 seed=$4 ticks=$5 slide=$6 label="$1 $2 seed $4"
  local log=$work/chromium.log out=$work/dom.html
  chromium_run "$log" "$out" "seed=$seed&size=$size&picture=$number&ticks=$ticks&slide=$slide&hold"
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
chromium_run "$work/chromium.log" "$work/dom.html" "seed=9&hold&live" --force-device-scale-factor=2 --window-size=900,700
result=$(sed -n '/<pre id="result">/,/<\/pre>/p' "$work/dom.html" | sed 's/<[^>]*>//g')
echo "$result"
expect() {  # expect WHAT PATTERN: a line of the result matches
  if grep -Eq "^$2\$" <<<"$result"; then echo "ok: $1"; else fail "$1: no line matching '$2'"; fi
}
expect "the canvas is the stage's size in device pixels" "initial ([0-9]+x[0-9]+) stage \\1 running"
expect "redraw and circle speed change the running scene without a new start" "live kept same period 591 10"
expect "the scene goes on after" "ticks moved"
expect "walkway walkers start the scene again" "walkway-walkers started"
expect "a smaller stage gives a smaller canvas" "resized 1400x800 stage 1400x800 running"
expect "a stage narrower than the scene still shows it" "resized 600x500 stage 600x500 running"

# The page's own timer: the canvas moves, stands still while space pauses it
# and moves again after.
chromium_run "$work/chromium.log" "$work/dom.html" "seed=9&size=640x480"
for expected in "timer moved" "paused still" "resumed moved"; do
  if grep -q "$expected" "$work/dom.html"; then echo "ok: $expected"; else fail "not '$expected':"; sed -n '/<pre id="result">/,/<\/pre>/p' "$work/dom.html"; fi
done
echo "page: $(du -cb "$web/index.html" "$web/zarvo.js" | tail -1 | cut -f1) bytes (index.html and zarvo.js)"
[ "$failures" -eq 0 ] && echo "browser test passed" || echo "browser test: $failures failures"
[ "$failures" -eq 0 ]
