#!/bin/sh
# Runs the benchmarks and prints each measured ratio beside its target, one
# line each: the ratio of two medians (CPU time) measured in the same run.
# The 4K present is held to what storing its pixels alone costs (a floor),
# and that floor is printed against a memcpy of as many bytes. Under each
# host's tick, its floor (bench/tick_floor.h) with the target it sits under.
# Beside the window's tick, the same tick with the caches taken between
# ticks (64 MB written over, timing paused), which is what a running
# zarvo's tick costs.
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
# wayland_bench is built only where the Wayland front end is.
programs="image_bench scene_bench"
[ ! -x "$build/bench/wayland_bench" ] || programs="$programs wayland_bench"
for program in $programs; do
    "$build/bench/$program" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true $min_time \
        --benchmark_format=csv 2>/dev/null | grep '_median"' >>"$out"
done

# median CPU time of benchmark $1 (its name as printed, without _median) in
# ns, whatever unit the benchmark reports in
median() {
    awk -F, -v name="\"$1_median\"" '$1 == name {
        scale = $5 == "us" ? 1e3 : $5 == "ms" ? 1e6 : $5 == "s" ? 1e9 : 1
        print $4 * scale
    }' "$out"
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

# shown LABEL MEASURE BASELINE NOTE: a ratio printed with a note instead of a target
shown() {
    m=$(median "$2")
    b=$(median "$3")
    [ -n "$m" ] && [ -n "$b" ] || { printf '%-70s not measured\n' "$1"; return; }
    awk -v label="$1" -v m="$m" -v b="$b" -v note="$4" 'BEGIN {
        printf "%-70s %6.2fx  %s  (%.0f ns / %.0f ns)\n", label, m / b, note, m, b
    }'
}

# floor LABEL MEASURE BASELINE [TARGET]: a ratio of work that any code
# meeting the target above it must do as well, so the least it can cost
floor() { shown "$1" "$2" "$3" "a floor${4:+ under the ${4}x target}"; }

# Under a host tick: composing, then storing only the pixels the tick
# stores (and, with two buffers, copying those the other buffer missed).
stores_floor() { floor "  its floor: composing, then storing only the pixels it stores / strip memcpy" "$1" StripMemcpy "$2"; }
# Under a centred tick: that, after reading once the frame and picture
# bytes of the parts its present compares (the least a compare costs).
compare_floor() {
    floor "  with one read of the frame and picture bytes it compares / strip memcpy" "$1" StripMemcpy "$2"
}

# beside LABEL MEASURE BASELINE: a ratio shown for what it tells, held to no target
beside() { shown "$1" "$2" "$3" "no target"; }

ratio "default frame / strip memcpy" Frame/Default StripMemcpy 2
ratio "frame with every count at maximum / strip memcpy" Frame/Maximum StripMemcpy 3
floor "  its floor: putting back what the last tick covered, drawing each figure once / strip memcpy" \
    Frame/MaximumFloor StripMemcpy
ratio "zarvo's tick in a 1024x768 window, centred / strip memcpy" ScreenTick/Centred1024x768 StripMemcpy 4
stores_floor ScreenTick/Centred1024x768Floor 4
compare_floor ScreenTick/Centred1024x768CompareFloor 4
beside "  the same tick with the caches taken between ticks, as in the running program / strip memcpy" \
    ScreenTick/Centred1024x768Cold/min_time:0.050 StripMemcpy
ratio "zarvo's full-screen tick at 1920x1080, centred / strip memcpy" ScreenTick/X11FullScreen1920x1080 StripMemcpy 4
stores_floor ScreenTick/X11FullScreen1920x1080Floor 4
ratio "Zarvo.scr's centred 1024x768 tick before GDI / strip memcpy" ScreenTick/WindowsCentred1024x768 StripMemcpy 4
floor "  its floor: composing, then storing only the pixels it pastes into the picture / strip memcpy" \
    ScreenTick/WindowsCentred1024x768Floor StripMemcpy 4
compare_floor ScreenTick/WindowsCentred1024x768CompareFloor 4
ratio "Zarvo.scr's tick into its 32-bit DIB at 1920x1080 fit / strip memcpy" ScreenTick/WindowsDibFit1920x1080 StripMemcpy 8
stores_floor ScreenTick/WindowsDibFit1920x1080Floor 8
floor "  with the scaling arithmetic: each line pixel blended along x, each stored pixel along y / strip memcpy" \
    ScreenTick/WindowsDibFit1920x1080ScalingFloor StripMemcpy 8
ratio "Zarvo.scr's tick into its 8-bit DIB at 1920x1080 fit / strip memcpy" ScreenTick/WindowsPaletteFit1920x1080 StripMemcpy 8
stores_floor ScreenTick/WindowsPaletteFit1920x1080Floor 8
if [ -x "$build/bench/wayland_bench" ]; then
    ratio "zarvo's Wayland tick in a 1024x768 window, centred / strip memcpy" ScreenTick/WaylandCentred1024x768 \
        StripMemcpy 4
    floor "  its floor: composing, copying what the buffer missed, storing what it stores / strip memcpy" \
        ScreenTick/WaylandCentred1024x768Floor StripMemcpy 4
    compare_floor ScreenTick/WaylandCentred1024x768CompareFloor 4
    ratio "zarvo's Wayland tick at 1920x1080 fit, catching up included / strip memcpy" \
        ScreenTick/WaylandFit1920x1080 StripMemcpy 8
    floor "  its floor: composing, copying what the buffer missed, storing what it stores / strip memcpy" \
        ScreenTick/WaylandFit1920x1080Floor StripMemcpy 8
    ratio "zarvo's Wayland wallpaper tick at 2560x1080 cover, catching up included / strip memcpy" \
        ScreenTick/WaylandCover2560x1080 StripMemcpy 12
    floor "  its floor: composing, copying what the buffer missed, storing what it stores / strip memcpy" \
        ScreenTick/WaylandCover2560x1080Floor StripMemcpy 12
fi
ratio "the web page's 1024x768 tick into its canvas bytes / strip memcpy" ScreenTick/WebCentred1024x768 StripMemcpy 4
floor "  its floor: the window's, as it stores the same pixels / strip memcpy" ScreenTick/Centred1024x768Floor \
    StripMemcpy 4
ratio "StripCopy / its memcpy" StripCopy Memcpy/StripBytes 1.2
ratio "zarvo's full-screen tick at 3840x2160 fit / storing its pixels alone" ScreenTick/Fit3840x2160 \
    ScreenPresent/WriteOfItsPixels 2.5
ratio "present of one tick at 3840x2160 fit / storing its pixels alone" ScreenPresent/Fit3840x2160 \
    ScreenPresent/WriteOfItsPixels 2
floor "  the floor of both: storing only the pixels it writes / memcpy of its bytes" ScreenPresent/WriteOfItsPixels \
    ScreenPresent/MemcpyOfItsBytes
ratio "the same scaling / SDL_BlitScaled" ScreenPresent/Fit3840x2160 ScreenPresent/SdlBlitScaled 0.5
# Cold: as the running saver finds caches and TLB after its sleep (a 48 MB
# buffer written over before each tick, timing paused; each recorded tick
# once). Where the running program's cost goes beyond the hot present; no
# target of its own.
beside "  cold, the present / the same present hot" ScreenPresent/Fit3840x2160Cold/iterations:300 \
    ScreenPresent/Fit3840x2160
beside "  cold, the present / storing its pixels alone, cold" ScreenPresent/Fit3840x2160Cold/iterations:300 \
    ScreenPresent/WriteOfItsPixelsCold/iterations:300
ratio "38 x 32 transparent blit / SDL colour-key blit" TransparentBlit SdlColorKeyBlit 0.2
echo "strip memcpy: $(median StripMemcpy) ns; memcpy of the strip bytes (image_bench): $(median Memcpy/StripBytes) ns"
