#!/bin/sh
# every_ratio_measured.sh BENCH_SH BUILD_DIR: runs the benchmarks as briefly
# as they allow and fails when a ratio line lacks one of its medians (a
# benchmark renamed, gone, or skipped with an error), when none is printed,
# or when a ratio is a thousand times off (times read in the wrong unit).
out=$(REPETITIONS=2 BENCH_MIN_TIME=0.001 sh "$1" "$2") || exit 1
printf '%s\n' "$out"
ratios=$(printf '%s\n' "$out" | grep -c 'x  ')
if printf '%s\n' "$out" | grep -q 'not measured' || [ "$ratios" -lt 10 ]; then
    echo "FAIL: $ratios ratios measured, or one not measured" >&2
    exit 1
fi
odd=$(printf '%s\n' "$out" | awk '/x  / { for (i = 1; i <= NF; ++i) if ($i ~ /^[0-9.]+x$/) {
    r = substr($i, 1, length($i) - 1) + 0
    if (r < 0.02 || r > 500) print
    break
} }')
if [ -n "$odd" ]; then
    printf 'FAIL: a ratio far outside what any machine gives, a time read in the wrong unit?\n%s\n' "$odd" >&2
    exit 1
fi
