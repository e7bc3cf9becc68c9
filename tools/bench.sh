#!/bin/sh
# Runs the benchmarks and prints each measured ratio beside its target, one
# line each: the ratio of two medians (CPU time) measured in the same run;
# under the two 4K present ratios, what the present's stores alone cost, a
# floor for them on this machine.
#   tools/bench.sh [build-dir]     (default build/native; needs ZARVO_BENCHMARKS)
# REPETITIONS (default 5, at least 2 for medians) sets --benchmark_repetitions,
# BENCH_MIN_TIME (seconds) --benchmark_min_time.
set -eu
build=${1:-build/native}
repetitions=${REPETITIONS:-5}
min_time=${BENCH_MIN_TIME:+--benchmark_min_time=$BENCH_MIN_TIME}
for program in image_bench scene_bench; do
    if [ ! -x "$build/bench/$program" ]; then
        echo "no $build/bench/$program: build the native preset first" >&2
        exit 1
    fi
done
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for program in image_bench scene_bench; do
    "$build/bench/$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true $min_time \
        --benchmark_format=csv 2>/dev/null | grep '_median"' >>"$out"
done

# median CPU time of benchmark $1 (its name as printed, without _median)
median() {
    awk -F, -v name="\"$1_median\"" '$1 == name { print $4 }' "$out"
}

# ratio LABEL MEASURE BASELINE TARGET
ratio() {
    m=$(median "$2")
    b=$(median "$3")
    if [ -z "$m" ] || [ -z "$b" ]; then
        printf '%-70s not measured (%s or %s missing)\n' "$1" "$2" "$3"
        return
    fi
    awk -v label="$1" -v m="$m" -v b="$b" -v t="$4" 'BEGIN {
        r = m / b
        printf "%-70s %6.2fx  target at most %sx  %s  (%.0f ns / %.0f ns)\n", label, r, t, (r <= t ? "ok" : "MISSED"), m, b
    }'
}

# floor LABEL MEASURE BASELINE: a ratio of work that any code meeting the
# targets above must do as well, so the least it can cost
floor() {
    m=$(median "$2")
    b=$(median "$3")
    [ -n "$m" ] && [ -n "$b" ] || { printf '%-70s not measured\n' "$1"; return; }
    awk -v label="$1" -v m="$m" -v b="$b" 'BEGIN {
        printf "%-70s %6.2fx  the stores alone: a floor  (%.0f ns / %.0f ns)\n", label, m / b, m, b
    }'
}

ratio "default frame / strip memcpy" Frame/Default StripMemcpy 2
ratio "frame with every count at maximum / strip memcpy" Frame/Maximum StripMemcpy 3.5
ratio "zarvo's tick in a 1024x768 window, centred / strip memcpy" ScreenTick/Centred1024x768 StripMemcpy 4
ratio "Zarvo.scr's centred 1024x768 tick before GDI / strip memcpy" ScreenTick/WindowsCentred1024x768 StripMemcpy 4
ratio "StripCopy / its memcpy" StripCopy Memcpy/StripBytes 1.2
ratio "tick at 3840x2160 fill, 32-bit / memcpy of its bytes" ScreenTick/Fill3840x2160 ScreenTick/MemcpyOfItsBytes 1.5
ratio "present of one tick at 3840x2160 fill, 32-bit / memcpy of its bytes" ScreenPresent/Fill3840x2160 ScreenPresent/MemcpyOfItsBytes 1.5
floor "  under both: storing only the pixels it writes / memcpy of its bytes" ScreenPresent/WriteOfItsPixels \
    ScreenPresent/MemcpyOfItsBytes
ratio "the same scaling / SDL_BlitScaled" ScreenPresent/Fill3840x2160 ScreenPresent/SdlBlitScaled 0.5
ratio "38 x 32 transparent blit / SDL colour-key blit" TransparentBlit SdlColorKeyBlit 0.2
echo "strip memcpy: $(median StripMemcpy) ns; memcpy of the strip bytes (image_bench): $(median Memcpy/StripBytes) ns"
