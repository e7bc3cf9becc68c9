# What the browser tests share (sourced): counting failures, zarvo-render's
# digests and headless Chromium's runs. The caller sets here, work, render
# and failures.

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

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

# add_driver PAGE DRIVER: PAGE loads page_checks.js and DRIVER (copied
# beside it) right after zarvo.js.
add_driver() {
  cp "$2" "$here/page_checks.js" "$(dirname "$1")/"
  sed -i "s#<script src=\"zarvo.js\"></script>#&<script src=\"page_checks.js\"></script><script src=\"$(basename "$2")\"></script>#" "$1"
  grep -q "$(basename "$2")" "$1" || { echo "FAIL: $1 no longer loads zarvo.js as the test expects"; exit 1; }
}

# chromium LOG DOM PAGE FRAGMENT [CHROMIUM OPTIONS...]: PAGE (in $work) with
# the driver, its DOM after the run.
# Headless Chromium dumps the DOM when its virtual time runs out, and the
# wasm compile runs outside that clock (the driver's digests no longer do):
# should the dump come before the driver's result on a busy machine, the run
# is made again, up to three in all; a page that never gives one still fails.
chromium_run() {
  local attempt
  for attempt in 1 2 3; do
    timeout 120 chromium --headless --no-sandbox --disable-gpu --enable-logging=stderr --log-level=0 \
      --user-data-dir="$work/profile" --virtual-time-budget=60000 "${@:5}" --dump-dom "file://$work/$3#$4" \
      >"$2" 2>"$1"
    grep -q '<pre id="result">' "$2" && break
    echo "note: $3#$4: no result in the DOM after run $attempt of 3"
    [ "$attempt" -lt 3 ] || tail -5 "$1"
  done
  if grep -q 'CONSOLE' "$1"; then fail "$3#$4: console messages:"; grep 'CONSOLE' "$1"; fi
}


# result_of DOM: the driver's result, its lines without the tags.
result_of() { sed -n '/<pre id="result">/,/<\/pre>/p' "$1" | sed 's/<[^>]*>//g'; }

expect() {  # expect WHAT PATTERN: a line of $result matches
  if grep -Eq "^$2\$" <<<"$result"; then echo "ok: $1"; else fail "$1: no line matching '$2'"; fi
}
