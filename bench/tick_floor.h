// The least a host's tick costs, measured: its ticks after a warm-up
// recorded once (the runs of pixels each stores, those a catch-up copies,
// the picture rectangles its present compares), then replayed as the frame
// composed and one value stored over exactly those runs.
#pragma once

#include <benchmark/benchmark.h>

#include <vector>

#include "scene/screen_view.h"

constexpr int kFloorWarmUpTicks = 600;
constexpr int kFloorTicks = 300;

// Columns [begin, end) of row y.
struct PixelRun {
    int y, begin, end;
};

struct FloorTick {
    std::vector<PixelRun> stored;  // screen rows, or the 8-bit picture's for a host that advances
    std::vector<PixelRun> copied;  // from the buffer drawn last, before the stores (two buffers)
    std::vector<Rect> compared;    // picture rectangles whose frame and picture bytes the present compares
};

// The recorded ticks and the surface they store into: screen or picture.
struct FloorRecord {
    std::vector<FloorTick> ticks;
    int width, height;
    int pixelBytes;
};

// A host tick's scene and view: a default scene of the screen's size.
struct FloorShape {
    PictureSize size;
    int width, height;
    int bits;
};

// The scene from the benchmarks' seed, composed kFloorWarmUpTicks frames,
// and its view with the picture moved on to the last of them (nothing
// drawn); false when either did not set up.
bool StartFloorScene(const FloorShape& shape, Scene** scene, ScreenView** view);
void EndFloorScene(Scene** scene, ScreenView** view);

// A surface poisoned with a value: a pixel that differs from it was stored.
template <typename Pixel>
struct Poisoned {
    ScreenPixels<Pixel> surface;
    Pixel poison;
};
// Twin t's poison: twins tick alike from one seed into surfaces poisoned
// with 0 and with all ones, so a pixel stored in either was stored,
// whatever its value.
template <typename Pixel>
Pixel TwinPoison(int t) {
    return t == 0 ? Pixel{0} : Pixel(~Pixel{0});
}

// Adds the runs inside r where a or b differs from its poison, poisoning
// them again; a may be b (a single surface whose poison is never stored).
template <typename Pixel>
void TakeStoredRuns(const Poisoned<Pixel>& a, const Poisoned<Pixel>& b, Rect r, std::vector<PixelRun>* runs);

// `value` over the runs of a surface `width` pixels a row.
template <typename Pixel>
void StoreRuns(const std::vector<PixelRun>& runs, Pixel value, Pixel* to, int width);

// The picture rectangles the present of the frame just composed compares.
void AddComparedRects(const ScreenView& view, std::vector<Rect>* rects);

// kFloorTicks ticks of `view`: tick(&t) ticks once, adding its stored and
// copied runs to t; the compared rectangles are added here.
template <typename Tick>
std::vector<FloorTick> RecordFloorTicks(const ScreenView& view, Tick tick) {
    std::vector<FloorTick> ticks(kFloorTicks);
    for (FloorTick& t : ticks) {
        tick(&t);
        AddComparedRects(view, &t.compared);
    }
    return ticks;
}

// The stores of a host ticking TickScreenView into a surface of its screen
// (`prepare`, when given, sets the view up as the host does).
template <typename Pixel>
FloorRecord RecordScreenTicks(const FloorShape& shape, void (*prepare)(ScreenView&));
// The stores of the Windows advance: the spans that must be pasted into the
// 8-bit picture (its box paste copies whole differing rows of a part).
FloorRecord RecordAdvanceTicks(const FloorShape& shape);

// The floor itself: each recorded tick's frame composed (the scene started
// again after the last), its copied runs copied between two surfaces and one
// value stored over its stored runs; with `compare`, first one read pass
// over the compared rectangles of frame and picture (the XOR OR-reduced,
// nothing written), the least a present that searches for the changes pays.
void ReplayFloor(benchmark::State& state, const FloorShape& shape, const FloorRecord& record, bool compare);

// The same with the scaling arithmetic of a true-colour fill: each recorded
// tick's frame composed, then every working-line pixel its stored pixels
// read (each picture row's, once a tick) blended along x from its two
// picture colours, and every stored pixel blended along y from its two
// lines (copied where its row reads one), four pixels to a 16-byte
// register. Nothing else a scaler does: no finding what to write, no
// bookkeeping, no colour table (the picture's colours are 32-bit words
// made once).
void ReplayScalingFloor(benchmark::State& state, const FloorShape& shape, const FloorRecord& record);
