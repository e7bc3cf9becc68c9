#!/usr/bin/env bash
# A long fuzzing campaign: every libFuzzer target of the fuzz build in turn,
# for HOURS in all, with what they find merged back into the corpora.
#
# Each target starts from its committed corpus. What it finds is merged
# back, minimised, into tests/fuzz/corpus/<target>: the named seeds stay as
# written, the found inputs (named by their hash) are replaced by the smallest
# set that keeps the coverage of all of them. A crash, leak or timeout is
# copied into the corpus under its libFuzzer name, so that the replay tests
# fail until it is fixed, and fails the campaign.
#
#   nice -n 19 tools/fuzz-long.sh HOURS [FUZZ_BUILD_DIR]
#
# HOURS may be a fraction (0.25 is a quarter of an hour in all). The build
# directory defaults to build/fuzz (cmake --preset fuzz && cmake --build
# --preset fuzz).
set -euo pipefail
hours=${1:?usage: fuzz-long.sh HOURS [FUZZ_BUILD_DIR]}
src=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$src/build/fuzz}

total=$(awk -v h="$hours" 'BEGIN { if (h + 0 > 0) print int(h * 3600); else print 0 }')
[ "$total" -gt 0 ] || { echo "HOURS must be a positive number, got '$hours'" >&2; exit 2; }
shopt -s nullglob
targets=()
for target in "$build"/tests/fuzz/fuzz_*; do [ -x "$target" ] && targets+=("$target"); done
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build" >&2; exit 2; }
each=$((total / ${#targets[@]}))
[ "$each" -gt 0 ] || each=1

# libFuzzer names what it finds by the SHA-1 of the contents.
is_found_input() { [[ $(basename "$1") =~ ^[0-9a-f]{40}$ ]]; }

# Twice the largest committed input, at least 512 bytes: room to grow
# without filling the corpus with inputs of kilobytes no reader needs.
max_length() {
  local largest
  largest=$(find "$1" -type f -printf '%s\n' | sort -n | tail -1)
  largest=${largest:-0}
  echo $((2 * largest > 512 ? 2 * largest : 512))
}

# Merges the campaign's corpus into the committed folder, minimised.
merge_back() {
  local target=$1 committed=$2 work=$3
  rm -rf "$work/merged"; mkdir -p "$work/merged"
  for f in "$committed"/*; do is_found_input "$f" || cp "$f" "$work/merged/"; done
  "$target" -merge=1 "$work/merged" "$work/corpus" >"$work/merge.log" 2>&1 ||
    { tail -20 "$work/merge.log"; return 1; }
  for f in "$committed"/*; do is_found_input "$f" && rm "$f"; done
  cp "$work/merged"/* "$committed/"
}

failed=0
summary=()
for target in "${targets[@]}"; do
  name=$(basename "$target")
  committed=$src/tests/fuzz/corpus/$name
  work=$build/fuzz-long/$name
  mkdir -p "$committed"
  rm -rf "$work"; mkdir -p "$work/corpus" "$work/artifacts"
  cp -r "$committed"/. "$work/corpus/"
  echo "$(date -u +%H:%M:%S) fuzzing $name for ${each}s"
  status=ok
  "$target" -max_total_time="$each" -timeout=10 -max_len="$(max_length "$committed")" \
    -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$work/corpus" >"$work/log" 2>&1 ||
    status=FAILED
  if [ "$status" != ok ]; then
    failed=1
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error)' "$work/log" | head -5 || tail -20 "$work/log"
  fi
  merge_back "$target" "$committed" "$work" || { failed=1; status=FAILED; }
  # After the merge, which would only run them again.
  for artifact in "$work/artifacts"/*; do
    cp "$artifact" "$committed/"
    echo "  kept $(basename "$artifact") in tests/fuzz/corpus/$name"
  done
  runs=$(sed -n 's/^stat::number_of_executed_units: //p' "$work/log")
  runs=${runs:-0}
  files=$(find "$committed" -type f | wc -l)
  bytes=$(find "$committed" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')
  summary+=("$(printf '%-20s %12s inputs %8s/s  corpus %4s files %7s bytes  %s' \
    "$name" "$runs" $((runs / each)) "$files" "$bytes" "$status")")
done

echo "campaign of ${total}s, ${each}s per target:"
printf '  %s\n' "${summary[@]}"
exit $failed
