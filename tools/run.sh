#!/usr/bin/env bash
# Runs zarvo in a window on your X display: installs what running needs, builds
# the program with the native preset (in build/run, without the tests) and
# starts it. Options are passed on to zarvo (see build/run/linux/zarvo --help).
# Without a display it writes 100 ticks at 640 x 480 as an animated GIF
# instead (zarvo-render --gif) and says where.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh run
cmake --preset native -B build/run -DZARVO_TESTS=OFF -DZARVO_BENCHMARKS=OFF >/dev/null

if [ -z "${DISPLAY:-}" ]; then
  cmake --build build/run --target zarvo_render -j "$(nproc)"
  gif=$PWD/build/run/zarvo.gif
  build/run/render/zarvo-render --size 640x480 --ticks 100 --gif "$gif"
  echo "run.sh: there is no X display here (DISPLAY is not set), so zarvo cannot open its window;"
  echo "the scene is written as an animated GIF instead: $gif"
  exit 0
fi

cmake --build build/run --target zarvo -j "$(nproc)"
exec build/run/linux/zarvo "$@"
