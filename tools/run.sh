#!/usr/bin/env bash
# Runs zarvo in a window on your X display: installs what running needs, builds
# the program with the native preset (in build/run, without the tests) and
# starts it. Options are passed on to zarvo (see build/run/x11/zarvo --help).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: there is no X display here (DISPLAY is not set); zarvo needs one to show its window." >&2
  exit 1
fi

tools/install-deps.sh run
cmake --preset native -B build/run -DZARVO_TESTS=OFF -DZARVO_BENCHMARKS=OFF >/dev/null
cmake --build build/run --target zarvo -j "$(nproc)"
exec build/run/x11/zarvo "$@"
