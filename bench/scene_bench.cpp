// One whole frame of the scene (default settings, and every count at its
// maximum) and the set-up at 1024 x 768, each beside a memcpy of the class 0
// frame strip (917 x 334 bytes) measured in the same run. Compare the times.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "scene/scene.h"
#include "scene/state.h"

namespace {

constexpr size_t kStripBytes = size_t{917} * 334;
const DisplayPaletteInfo kTrueColour = {-1, 0, {}};

struct Screen {
    std::vector<uint32_t> pixels = std::vector<uint32_t>(1024 * 768);
    RgbSurface surface = {pixels.data(), 1024, 768, 1024, nullptr};
};

Screen& TheScreen() {
    static Screen screen;
    return screen;
}

SettingsRecord AtMaximum() {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = entry.max;
    return record;
}

// A scene at 1024 x 768, run a while so that walkers and patches are spread
// as they are in a running saver.
int SetUpRunningScene(const SettingsRecord& settings) {
    TearDownScene();
    SetUpSceneWith({1024, 768, 1024, 32, &kTrueColour}, &TheScreen().surface, settings, 20261207);
    if (!sceneReady) return 0;
    PaintScene(&TheScreen().surface);
    for (int tick = 0; tick < 600; ++tick) ComposeFrame();
    return 1;
}

void StripMemcpy(benchmark::State& state) {
    std::vector<uint8_t> from(kStripBytes, 1), to(kStripBytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), kStripBytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(StripMemcpy);

void Frame(benchmark::State& state, const SettingsRecord& settings, bool present) {
    if (!SetUpRunningScene(settings)) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    for (auto _ : state) {
        ComposeFrame();
        if (present) PresentFrame();
        benchmark::ClobberMemory();
    }
    TearDownScene();
}
BENCHMARK_CAPTURE(Frame, Default, kDefaultSettings, false);
BENCHMARK_CAPTURE(Frame, Maximum, AtMaximum(), false);
// With the strip put on a 32-bit surface, as the hosts without GDI do.
BENCHMARK_CAPTURE(Frame, DefaultPresented, kDefaultSettings, true);

// The frame's steps one at a time, to see what dominates it.
void FrameStep(benchmark::State& state, const SettingsRecord& settings, void (*step)()) {
    if (!SetUpRunningScene(settings)) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    for (auto _ : state) {
        step();
        benchmark::ClobberMemory();
    }
    TearDownScene();
}

BENCHMARK_CAPTURE(FrameStep, Restore, kDefaultSettings, RestoreFrame);
BENCHMARK_CAPTURE(FrameStep, SeatedCrowd, kDefaultSettings, ShuffleSeatedCrowd);
BENCHMARK_CAPTURE(FrameStep, WalkwayWalkers, kDefaultSettings, UpdateWalkwayWalkers);
BENCHMARK_CAPTURE(FrameStep, ForegroundPieces, kDefaultSettings, DrawForegroundPieces);
BENCHMARK_CAPTURE(FrameStep, CirclingWalkers, kDefaultSettings, UpdateCirclingWalkers);
BENCHMARK_CAPTURE(FrameStep, SeatedCrowdMaximum, AtMaximum(), ShuffleSeatedCrowd);
BENCHMARK_CAPTURE(FrameStep, CirclingWalkersMaximum, AtMaximum(), UpdateCirclingWalkers);

void SetUp(benchmark::State& state) {
    for (auto _ : state) {
        TearDownScene();
        SetUpSceneWith({1024, 768, 1024, 32, &kTrueColour}, &TheScreen().surface, kDefaultSettings, 1);
        if (!sceneReady) {
            state.SkipWithError("the scene did not set up (pictures missing?)");
            break;
        }
    }
    TearDownScene();
}
BENCHMARK(SetUp)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
