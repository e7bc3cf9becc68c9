#!/bin/sh
# every_ratio_measured.sh BENCH_SH BUILD_DIR: runs the benchmarks as briefly
# as they allow and fails when a ratio line lacks one of its medians (a
# benchmark renamed, gone, or skipped with an error) or when none is printed.
out=$(REPETITIONS=2 BENCH_MIN_TIME=0.001 sh "$1" "$2") || exit 1
printf '%s\n' "$out"
ratios=$(printf '%s\n' "$out" | grep -c 'x  ')
if printf '%s\n' "$out" | grep -q 'not measured' || [ "$ratios" -lt 10 ]; then
    echo "FAIL: $ratios ratios measured, or one not measured" >&2
    exit 1
fi
