#!/usr/bin/env bash
# Life cycles of both programs, started and ended over and over: zarvo on
# Linux (full-screen runs ended by a key and by SIGTERM, also while it starts,
# --save killed at random moments) and Zarvo.scr under x86-64 Wine
# (full-screen runs dismissed by a key, previews whose parent is destroyed).
# Usage:
#   tools/life-cycle.sh          the tenth of each that CI runs as ctest tests
#   tools/life-cycle.sh --full   100 + 100 + 100 + 1000 on Linux, 100 + 20 under Wine
# Builds the native and win64 presets first (ZARVO_BUILD_JOBS, default 1);
# ZARVO_LIFE_CYCLE_SEED repeats a run's random moments. Exits non-zero when
# any cycle failed.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export ZARVO_LIFE_CYCLE_FULL=0
case "${1:-}" in
  --full) ZARVO_LIFE_CYCLE_FULL=1 ;;
  "") ;;
  *) echo "usage: tools/life-cycle.sh [--full]" >&2; exit 2 ;;
esac
export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/zarvo-ccache}
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=true
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

failed=0
results=()

build() {
  local preset
  for preset in native win64; do
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null || return 1
    cmake --build --preset "$preset" -j "${ZARVO_BUILD_JOBS:-1}" >/dev/null || return 1
  done
}

# part NAME COMMAND...: runs one part, timed, and records how it ended.
part() {
  local name=$1 started=$SECONDS status
  shift
  printf '\n==== %s\n' "$name"
  "$@"
  status=$?
  [ $status -ne 0 ] && failed=1
  results+=("$(printf '%-10s %-6s %5d s' "$name" "$([ $status -eq 0 ] && echo passed || echo FAILED)" $((SECONDS - started)))")
}

linux_cycles() {
  # Well past what the cycles' own timeouts add up to: a last guard only.
  timeout 3600 build/native/tests/x11/x11_program_tests --gtest_filter='*LifeCycle*'
}

wine_cycles() {
  # The environment ctest gives the test; the same work folder, so the Wine
  # prefix made for the ctest run serves here too.
  # shellcheck source=/dev/null
  . build/win64/tests/e2e/e2e-environment.sh &&
    timeout 7200 bash tests/e2e/run-e2e.sh life-cycle "$root/build/win64/tests/e2e/e2e-life-cycle"
}

part build build
[ $failed -eq 0 ] || { echo "the build failed"; exit 1; }
part linux linux_cycles
part wine wine_cycles

printf '\n%s\n' "life cycles: part, result, time"
printf '%s\n' "${results[@]}"
[ $failed -eq 0 ] && echo "all life cycles passed" || echo "SOME LIFE CYCLES FAILED"
exit $failed
