#!/usr/bin/env bash
# The long soak of the scene under AddressSanitizer and UndefinedBehavior-
# Sanitizer, with the asan build's scene-soak.
#
# It runs FRAMES frames in all (1,000,000 unless given), shared between its
# runs: the minimum, default and maximum settings and stored values far above
# and below the ranges, in each resolution class (or CLASS alone). After every
# frame it checks that only the strip changed on the screen image. Then,
# unless CLASS is given, every life cycle of both programs in full
# (tools/life-cycle.sh --full).
#
#   nice -n 19 tools/soak.sh [FRAMES] [CLASS]
set -euo pipefail
total=${1:-1000000}
[[ $total =~ ^[1-9][0-9]*$ ]] || { echo "FRAMES must be a positive whole number, got '$total'" >&2; exit 2; }

src=$(cd "$(dirname "$0")/.." && pwd)
build=$src/build/asan
cd "$src"
[ -f "$build/build.ninja" ] || cmake --preset asan
cmake --build --preset asan -j1 --target scene_soak
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
echo "$(date -u +%H:%M:%S) soaking for $total frames"
"$build/tests/soak/scene-soak" "$total" ${2:+"$2"}
echo "$(date -u +%H:%M:%S) soak passed"
[ -n "${2:-}" ] || exec "$src/tools/life-cycle.sh" --full
