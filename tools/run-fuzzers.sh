#!/usr/bin/env bash
# Runs every libFuzzer target of a build for a while, each on a copy of its
# seed corpus under tests/fuzz/corpus/<name>. Any crash fails the run.
set -euo pipefail
build=$1
seconds=${2:-60}
src=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
targets=("$build"/tests/fuzz/fuzz_*)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build" >&2; exit 1; }
for target in "${targets[@]}"; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$build/fuzz-work/$name
  rm -rf "$work"; mkdir -p "$work/corpus" "$work/artifacts"
  [ -d "$src/tests/fuzz/corpus/$name" ] && cp -r "$src/tests/fuzz/corpus/$name/." "$work/corpus/"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -artifact_prefix="$work/artifacts/" \
    -print_final_stats=1 "$work/corpus" >"$work/log" 2>&1 || { tail -40 "$work/log"; exit 1; }
  grep -E '^(Done|stat::new_units_added)' "$work/log" || true
done
