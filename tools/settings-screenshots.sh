#!/usr/bin/env bash
# The README's pictures of the settings window: light and dark, at 100 % and
# at scale 2, each taken of the window alone on a private Xvfb server.
# Usage: settings-screenshots.sh [BUILD] [DISPLAY_NUMBER]
#   BUILD           a build folder holding gtk/zarvo-settings (build/native)
#   DISPLAY_NUMBER  the Xvfb display to use (221)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/native}
number=${2:-221}
program=$build/gtk/zarvo-settings
[ -x "$program" ] || { echo "settings-screenshots.sh: no $program: build it first" >&2; exit 1; }
for tool in Xvfb xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "settings-screenshots.sh: $tool is missing (tools/install-deps.sh test)" >&2; exit 1; }
done
work=$(mktemp -d)
Xvfb ":$number" -screen 0 2400x1800x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=:$number
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# shot NAME THEME SCALE: docs/NAME.png, the window in that theme and scale.
shot() {
  XDG_CONFIG_HOME=$work/config HOME=$work GTK_THEME=$2 GDK_SCALE=$3 GTK_A11Y=none XDG_CURRENT_DESKTOP= \
    "$program" --seed 1 --still-after 40 2>/dev/null &
  local settings=$! window
  window=$(xdotool search --sync --name '^Zarvo Settings$' | head -1)
  sleep 3  # the preview's 40 frames, and the window drawn whole
  import -window "$window" "$work/$1.png"
  kill $settings; wait $settings 2>/dev/null || true
  convert "$work/$1.png" -strip -colors 256 -define png:compression-level=9 "PNG8:docs/$1.png"
  echo "docs/$1.png: $(identify -format '%wx%h' "docs/$1.png"), $(stat -c %s "docs/$1.png") bytes"
}
shot settings-light Adwaita 1
shot settings-dark Adwaita:dark 1
shot settings-light-2x Adwaita 2
shot settings-dark-2x Adwaita:dark 2
