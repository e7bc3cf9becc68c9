#!/usr/bin/env bash
# Installs what building needs (Debian's emscripten, as root), builds the web
# page (web/) into build/web/web: index.html, scene_runner.js and zarvo.js,
# which open from the file system, and the wallpaper page beside them
# (tools/wallpaper-package.sh packs it). Prints where, and how large.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh web
# Emscripten's JavaScript optimiser needs acorn, which Debian puts here; a
# node that is not Debian's own does not look there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF >/dev/null
cmake --build build/web --target zarvo_web -j "${ZARVO_JOBS:-2}"
size() { stat -c %s "build/web/web/$1"; }
echo "build-web.sh: open build/web/web/index.html ($(size index.html) bytes, with scene_runner.js, $(size scene_runner.js)" \
  "bytes, and zarvo.js, $(size zarvo.js) bytes, beside it)"
