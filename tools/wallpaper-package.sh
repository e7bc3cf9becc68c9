#!/usr/bin/env bash
# Packs the scene as a wallpaper for Lively Wallpaper and Wallpaper Engine:
# the wallpaper page and zarvo.js from WEB (a web build's web/ folder), the
# files that describe it to both programs (wallpaper-files), and previews
# drawn by zarvo-render, into ZIP. Every file gets the commit's date
# (SOURCE_DATE_EPOCH) and the zip lists them sorted, without the extra
# fields that hold owners and times, so that the same inputs give the same
# bytes.
# Usage: wallpaper-package.sh WEB WALLPAPER_FILES ZARVO_RENDER ZIP
set -euo pipefail
web=$1 describe=$2 render=$3 zip=$(realpath -m "$4")
root=$(cd "$(dirname "$0")/.." && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}

cp "$web/wallpaper.html" "$web/wallpaper.js" "$web/scene_runner.js" "$web/zarvo.js" "$root/LICENSE" "$stage/"
"$describe" "$stage"
# Lively shows the thumbnail in its library and plays the preview on it;
# Wallpaper Engine wants a square preview. zarvo-render draws no narrower
# than 640, so the smaller ones are shrunk from its pictures; the square is
# cut from the whole picture, as cover on a square screen shrinks it to keep
# the strip whole, black above and below.
"$render" --size 640x360 --picture-size cover --seed 1 --ticks 24 --gif "$stage/preview.gif" --out "$stage/first.png"
"$render" --size 1024x768 --seed 1 --ticks 24 --out "$stage/square.png"
convert "$stage/first.png" -resize 320x180 -strip -quality 85 "$stage/thumbnail.jpg"
convert "$stage/square.png" -gravity center -crop 768x768+0+0 +repage -resize 512x512 -strip -quality 85 \
  "$stage/preview.jpg"
rm "$stage/first.png" "$stage/square.png"

find "$stage" -type f -exec touch -d "@$epoch" {} +
rm -f "$zip"
mkdir -p "$(dirname "$zip")"
(cd "$stage" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D "$zip" -@)
