#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: native, with
# sanitizers, the fuzz targets, and both Windows builds under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/install-deps.sh test

jobs=$(nproc)
export ZARVO_WINEPREFIX=$root/build/wineprefix
export CTEST_PARALLEL_LEVEL=${CTEST_PARALLEL_LEVEL:-$jobs}

step() { printf '\n==== %s\n' "$*"; }

for preset in native asan win32 win64; do
  step "build $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

for preset in native asan win32 win64; do
  step "test $preset"
  ctest --preset "$preset"
done

step "fuzz"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
tools/run-fuzzers.sh "$root/build/fuzz" "${ZARVO_FUZZ_SECONDS:-60}"

step "all tests passed"
