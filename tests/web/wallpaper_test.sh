#!/usr/bin/env bash
# The wallpaper package as tools/release.sh builds it: two runs give the same
# bytes and the files the programs need; its panel lists the settings with
# zarvo --help's ranges; and unpacked to a folder and opened from the file
# system at 1920 x 1080 in headless Chromium, the page fills the window, both
# programs' listeners change the running scene to what zarvo-render draws with
# those settings, and both programs' pauses and a hidden page stop it.
# Usage: wallpaper_test.sh RELEASE_BUILD ZARVO_RENDER ZARVO
set -uo pipefail
build=$1 render=$2 zarvo=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# shellcheck source=browser_common.sh
. "$here/browser_common.sh"
ok() { echo "ok: $*"; }

version=$(sed -n 's/^project(Zarvo VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=zarvo-wallpaper-$version.zip
# The second run a few seconds later: a file time the package kept would show.
"$root/tools/release.sh" --wallpaper "$work/first" "$build" || { echo "FAIL: release.sh --wallpaper"; exit 1; }
sleep 3
"$root/tools/release.sh" --wallpaper "$work/second" "$build" || { echo "FAIL: release.sh --wallpaper, again"; exit 1; }
zip=$work/first/$name
if cmp -s "$zip" "$work/second/$name"; then ok "two runs of release.sh give the same $(stat -c %s "$zip") bytes"
else fail "two runs of release.sh give different zips"; fi
files=$(unzip -Z1 "$zip" | tr '\n' ' ')
expected="LICENSE LivelyInfo.json LivelyProperties.json preview.gif preview.jpg project.json scene_runner.js \
thumbnail.jpg wallpaper.html wallpaper.js wallpaper_panel.js zarvo.js "
[ "$files" = "$expected" ] && ok "the zip holds, sorted: $files" || fail "the zip holds: $files"

# The panel against zarvo --help: "--circle-speed N ... 20 to 150, default 100".
"$zarvo" --help | awk '/^  --[a-z-]+ N/ { name = substr($1, 3) } name && / to .*, default / {
  sub(/,/, "", $3); print name, $1, $3, $5; name = "" }' >"$work/help.txt"
unzip -q "$zip" -d "$work"
node - "$work" "$work/help.txt" <<'EOF' || failures=$((failures + 1))
const fs = require("fs"), [folder, help] = process.argv.slice(2);
const read = function (file) { return JSON.parse(fs.readFileSync(folder + "/" + file, "utf8")); };
const lively = read("LivelyProperties.json"), info = read("LivelyInfo.json"), project = read("project.json");
const engine = project.general.properties, panel = fs.readFileSync(folder + "/wallpaper_panel.js", "utf8");
let bad = 0;
const check = function (what, good) { console.log((good ? "ok: " : "FAIL: ") + what); bad += !good; };
const settings = fs.readFileSync(help, "utf8").trim().split("\n").map(function (line) { return line.split(" "); });
const range = function (p) { return p && p.type === "slider" ? [p.min, p.max, p.value].join(" ") : "none"; };
check("zarvo --help lists six settings, and each panel as many sliders",
      settings.length === 6 && [lively, engine].every(function (p) { return Object.values(p).map(range).filter(
        function (r) { return r !== "none"; }).length === 6; }));
for (const [option, min, max, value] of settings) {
  const key = option.replace(/-([a-z])/g, function (m, c) { return c.toUpperCase(); }), want = [min, max, value].join(" ");
  check(key + ": Lively's " + range(lively[key]) + ", Wallpaper Engine's " + range(engine[key.toLowerCase()]) +
        ", zarvo --help's " + want, range(lively[key]) === want && range(engine[key.toLowerCase()]) === want);
}
check("cover by default, as the page's panel script says, and a seed in each",
      lively.pictureSize.items[lively.pictureSize.value] === "Fill" && engine.picturesize.value === 3 &&
      panel.includes('defaultPictureSize: "cover"') && lively.seed.type === "textbox" && engine.seed.type === "textinput");
const named = [info.FileName, info.Thumbnail, info.Preview, project.file, project.preview];
check("both name the page, and every file they name is in the zip: " + named.join(" "),
      info.FileName === "wallpaper.html" && project.file === "wallpaper.html" && project.type === "web" &&
      named.every(function (file) { return fs.existsSync(folder + "/" + file); }));
process.exit(bad ? 1 : 0);
EOF

# A settings record, the defaults but for "index=value" pairs.
settings_with() {
  local values=(20 150 100 30 125 50 1 55 30 5 100 50 0 120 2 100 600 120) pair
  for pair in "$@"; do values[${pair%=*} * 3 + 2]=${pair#*=}; done
  echo "${values[*]}"
}

add_driver "$work/wallpaper.html" "$here/wallpaper_driver.js"
# seed2 is past the largest seed, which the page takes instead.
ticks=20 seed=5 seed2=5000000000
# A full-screen window on a 1920 x 1080 screen, as the programs give the page.
chromium_run "$work/chromium.log" "$work/dom.html" wallpaper.html "seed=$seed&seed2=$seed2&ticks=$ticks&hold" \
  "--screen-info={1920x1080}" --kiosk
result=$(result_of "$work/dom.html")
echo "$result"
expect "the canvas fills the window with no black row or column at its edges" "canvas 1920x1080 black-edges false false false false"
for pause in lively engine hidden; do
  expect "$pause: pausing stops the canvas" "$pause still"
  expect "$pause: going on moves it" "$pause-resumed moved"
done
expect "the page says it has drawn the figures" "marker drawn"
# case NAME TICKS starts N seed S digest D, against zarvo-render from the start.
compare() {  # compare NAME STARTS SEED SETTINGS...
  local line ticks digest expected
  line=$(grep "^case $1 " <<<"$result") || { fail "$1: no case line"; return; }
  read -r _ _ ticks _ starts _ seed _ digest <<<"$line"
  [ "$starts $seed" = "$2 $3" ] || fail "$1: starts $starts seed $seed, expected $2 $3"
  expected=$(render_digest 1920x1080 cover "$3" "$ticks" "$(settings_with "${@:4}")")
  [ "$digest" = "$expected" ] && ok "$1: after $ticks ticks the canvas equals zarvo-render's" ||
    fail "$1: canvas $digest, zarvo-render $expected (ticks $ticks)"
}
compare lively 1 "$seed" 0=140
compare engine 2 4294967295 0=30 3=100 5=100
compare resumed 2 4294967295 0=30 3=100 5=100 4=120
echo "wallpaper package: $(stat -c %s "$zip") bytes"
[ "$failures" -eq 0 ] && echo "wallpaper test passed" || echo "wallpaper test: $failures failures"
[ "$failures" -eq 0 ]
