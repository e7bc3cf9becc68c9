#!/usr/bin/env bash
# Builds the web page (web/) with Debian's emscripten into build/web/web:
# index.html and zarvo.js, which open from the file system. Prints where.
set -euo pipefail
cd "$(dirname "$0")/.."
# Emscripten's JavaScript optimiser needs acorn, which Debian puts here; a
# node that is not Debian's own does not look there.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
emcmake cmake -S . -B build/web -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF >/dev/null
cmake --build build/web --target zarvo_web -j "${ZARVO_JOBS:-2}"
echo "build-web.sh: open build/web/web/index.html ($(du -cb build/web/web/index.html build/web/web/zarvo.js | tail -1 | cut -f1) bytes with zarvo.js)"
