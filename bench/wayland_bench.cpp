// The Wayland front end's tick: the scene ticked into one of its surface's
// two buffers while the compositor holds the other (as sway does until the
// next commit), so each buffer first copies the pixels it missed from the
// one drawn last; and its floor. tools/bench.sh sets them beside
// scene_bench's strip memcpy.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "bench/tick_floor.h"
#include "scene/screen_view.h"
#include "wayland/wayland.h"

namespace {

const DisplayPaletteInfo kTrueColour = {-1, 0, {}};

// A surface over plain memory, its buffers' records made; the memory holds
// `fill` and buffer 0 is shown, as after a first whole paint.
struct BenchSurface {
    std::unique_ptr<WaylandHost> host = std::make_unique<WaylandHost>();
    WaylandSurface surface{};
    std::vector<uint32_t> memory[kBuffersPerSurface];
};

bool SetUpSurface(BenchSurface* s, int width, int height, uint32_t fill) {
    s->surface.host = s->host.get();
    s->surface.width = width;
    s->surface.height = height;
    s->surface.latest = -1;
    bool ok = true;
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        s->memory[i].assign(size_t(width) * size_t(height), fill);
        s->surface.buffers[i].pixels = s->memory[i].data();
        s->surface.buffers[i].missedAll = 1;
        ok = CreateScreenRuns(&s->surface.buffers[i].missedRuns, width, height) && ok;
    }
    const Rect whole{0, 0, width, height};
    NoteDrawn(&s->surface, 0, &whole, 1);
    s->surface.buffers[0].missedAll = 0;
    s->surface.buffers[0].busy = 1;
    return ok;
}

void EndSurface(BenchSurface* s) {
    for (WaylandBuffer& buffer : s->surface.buffers) DestroyScreenRuns(&buffer.missedRuns);
}

RgbPixels BufferPixels(BenchSurface& s, int index) {
    return RgbPixels{s.memory[index].data(), s.surface.width, {0, 0, s.surface.width, s.surface.height}};
}

// One host tick: the free buffer caught up, drawn and noted; the
// compositor takes it and lets the other go. Its index.
int TickSurface(BenchSurface* s, ScreenView& view) {
    const int index = TakeFreeBuffer(&s->surface);
    TickScreenView(view, BufferPixels(*s, index));
    NotePresentDrawn(&s->surface, index, view);
    for (int i = 0; i < kBuffersPerSurface; ++i) s->surface.buffers[i].busy = i == index;
    return index;
}

void WaylandTick(benchmark::State& state, PictureSize size, int width, int height) {
    Scene* scene = SetUpScene({width, height, width, 32, &kTrueColour}, kDefaultSettings, 20261207).scene;
    ScreenView* view = scene != nullptr ? CreateScreenView(scene, size, width, height) : nullptr;
    BenchSurface s;
    if (SetUpSurface(&s, width, height, 0) && view != nullptr) {
        view->keepsWritten = 1;
        PaintScreenView(*view, BufferPixels(s, 0));
        // The other buffer's first catch-up copies all of it, once in a
        // running program's life: left out, so that short runs measure
        // the ticks that repeat.
        for (int i = 1; i < kBuffersPerSurface; ++i) TickSurface(&s, *view);
        for (auto _ : state) {
            TickSurface(&s, *view);
            benchmark::ClobberMemory();
        }
    } else {
        state.SkipWithError("the scene, its view or the buffers' records did not set up");
    }
    EndSurface(&s);
    DestroyScreenView(view);
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(WaylandTick, Window, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/WaylandCentred1024x768")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WaylandTick, Fit, kPictureFit, 1920, 1080)
    ->Name("ScreenTick/WaylandFit1920x1080")
    ->Unit(benchmark::kMicrosecond);
// The wallpaper: --background fills an ultrawide output, cropped.
BENCHMARK_CAPTURE(WaylandTick, Cover, kPictureCover, 2560, 1080)
    ->Name("ScreenTick/WaylandCover2560x1080")
    ->Unit(benchmark::kMicrosecond);

// The runs the buffer's catch-up copies: what it missed, as its record
// knows it (the very pixels, its rectangles, or all of it).
void AddMissedRuns(const WaylandSurface& surface, const WaylandBuffer& buffer, std::vector<PixelRun>* runs) {
    const auto rect = [&](Rect r) {
        for (int y = r.y; y < r.y + r.height; ++y) runs->push_back({y, r.x, r.x + r.width});
    };
    if (buffer.missedAll) {
        rect(Rect{0, 0, surface.width, surface.height});
    } else if (buffer.missedRunsKnown) {
        const ScreenRuns& missed = buffer.missedRuns;
        for (int y = missed.top; y < missed.bottom; ++y) {
            const RowRuns& row = missed.rows[y];
            for (int i = 0; i < row.count; ++i) runs->push_back({y, row.runs[i].begin, row.runs[i].end});
        }
    } else {
        for (int i = 0; i < buffer.missedCount; ++i) rect(buffer.missed[i]);
    }
}

// Twins of the tick over poisoned buffers (the catch-up copies poison over
// poison, so only the tick's own stores show); the copies read from twin
// 0's record of what the taken buffer missed.
FloorRecord RecordWaylandTicks(const FloorShape& shape) {
    Scene* scenes[2] = {};
    ScreenView* views[2] = {};
    BenchSurface surfaces[2];
    FloorRecord record{{}, shape.width, shape.height, int(sizeof(uint32_t))};
    bool ok = true;
    for (int t = 0; t < 2; ++t) {
        ok = StartFloorScene(shape, &scenes[t], &views[t]) && ok;
        ok = SetUpSurface(&surfaces[t], shape.width, shape.height, TwinPoison<uint32_t>(t)) && ok;
        // Both buffers hold the same poison: neither misses anything.
        surfaces[t].surface.buffers[1].missedAll = 0;
        surfaces[t].surface.buffers[1].missedRunsKnown = 1;
        if (views[t] != nullptr) views[t]->keepsWritten = 1;
    }
    if (ok) {
        record.ticks = RecordFloorTicks(*views[0], [&](FloorTick* t) {
            const WaylandSurface& first = surfaces[0].surface;
            AddMissedRuns(first, first.buffers[first.latest == 0 ? 1 : 0], &t->copied);
            Poisoned<uint32_t> drawn[2];
            for (int i = 0; i < 2; ++i) {
                const int index = TickSurface(&surfaces[i], *views[i]);
                drawn[i] = {BufferPixels(surfaces[i], index), TwinPoison<uint32_t>(i)};
            }
            for (int k = 0; k < views[0]->changedCount; ++k) {
                TakeStoredRuns(drawn[0], drawn[1], views[0]->changed[k], &t->stored);
            }
        });
    }
    for (int t = 0; t < 2; ++t) {
        EndSurface(&surfaces[t]);
        EndFloorScene(&scenes[t], &views[t]);
    }
    return record;
}

void WaylandFloor(benchmark::State& state, PictureSize size, int width, int height, bool compare) {
    const FloorShape shape{size, width, height, 32};
    ReplayFloor(state, shape, RecordWaylandTicks(shape), compare);
}
BENCHMARK_CAPTURE(WaylandFloor, Window, kPictureCentred, 1024, 768, false)
    ->Name("ScreenTick/WaylandCentred1024x768Floor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WaylandFloor, WindowCompare, kPictureCentred, 1024, 768, true)
    ->Name("ScreenTick/WaylandCentred1024x768CompareFloor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WaylandFloor, Fit, kPictureFit, 1920, 1080, false)
    ->Name("ScreenTick/WaylandFit1920x1080Floor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WaylandFloor, Cover, kPictureCover, 2560, 1080, false)
    ->Name("ScreenTick/WaylandCover2560x1080Floor")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
