// The Wayland front end's tick: the scene ticked into one of its surface's
// two buffers while the compositor holds the other (as sway does until the
// next commit), so each buffer first copies the pixels it missed from the
// one drawn last. tools/bench.sh sets it beside scene_bench's strip memcpy.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "scene/screen_view.h"
#include "wayland/wayland.h"

namespace {

const DisplayPaletteInfo kTrueColour = {-1, 0, {}};

void WaylandTick(benchmark::State& state, PictureSize size, int width, int height) {
    Scene* scene = SetUpScene({width, height, width, 32, &kTrueColour}, kDefaultSettings, 20261207).scene;
    auto host = std::make_unique<WaylandHost>();
    ScreenView* view = scene != nullptr ? CreateScreenView(scene, size, width, height) : nullptr;
    WaylandSurface surface{};
    surface.host = host.get();
    surface.width = width;
    surface.height = height;
    surface.latest = -1;
    std::vector<uint32_t> memory[kBuffersPerSurface];
    int ok = view != nullptr;
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        memory[i].assign(size_t(width) * size_t(height), 0);
        surface.buffers[i].pixels = memory[i].data();
        surface.buffers[i].missedAll = 1;
        ok = ok && CreateScreenRuns(&surface.buffers[i].missedRuns, width, height);
    }
    if (ok) {
        view->keepsWritten = 1;
        const Rect whole{0, 0, width, height};
        PaintScreenView(*view, RgbPixels{memory[0].data(), width, whole});
        NoteDrawn(&surface, 0, &whole, 1);
        surface.buffers[0].missedAll = 0;
        surface.buffers[0].busy = 1;
        for (auto _ : state) {
            const int index = TakeFreeBuffer(&surface);
            TickScreenView(*view, RgbPixels{memory[index].data(), width, whole});
            NotePresentDrawn(&surface, index, *view);
            for (int i = 0; i < kBuffersPerSurface; ++i) surface.buffers[i].busy = i == index;
            benchmark::ClobberMemory();
        }
    } else {
        state.SkipWithError("the scene, its view or the buffers' records did not set up");
    }
    for (WaylandBuffer& buffer : surface.buffers) DestroyScreenRuns(&buffer.missedRuns);
    DestroyScreenView(view);
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(WaylandTick, Window, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/WaylandCentred1024x768")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WaylandTick, Fill, kPictureFill, 1920, 1080)
    ->Name("ScreenTick/WaylandFill1920x1080")
    ->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
