// One whole frame of the scene (default settings, and every count at its
// maximum) and the set-up at 1024 x 768, each beside a memcpy of the class 0
// frame strip (917 x 334 bytes) measured in the same run. Compare the times.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "scene/screen_view.h"
#include "scene/steps.h"

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
// as they are in a running saver; null when it did not set up.
Scene* SetUpRunningScene(const SettingsRecord& settings) {
    Scene* scene = SetUpScene({1024, 768, 1024, 32, &kTrueColour}, &TheScreen().surface, settings, 20261207).scene;
    if (scene == nullptr) return nullptr;
    PaintScene(*scene, &TheScreen().surface);
    for (int tick = 0; tick < 600; ++tick) ComposeFrame(*scene);
    return scene;
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
    Scene* scene = SetUpRunningScene(settings);
    if (scene == nullptr) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    for (auto _ : state) {
        ComposeFrame(*scene);
        if (present) PresentFrame(*scene);
        benchmark::ClobberMemory();
    }
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(Frame, Default, kDefaultSettings, false);
BENCHMARK_CAPTURE(Frame, Maximum, AtMaximum(), false);
// With the strip put on a 32-bit surface, as the hosts without GDI do.
BENCHMARK_CAPTURE(Frame, DefaultPresented, kDefaultSettings, true);

// The frame's steps one at a time, to see what dominates it.
void FrameStep(benchmark::State& state, const SettingsRecord& settings, void (*step)(Scene&)) {
    Scene* scene = SetUpRunningScene(settings);
    if (scene == nullptr) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    for (auto _ : state) {
        step(*scene);
        benchmark::ClobberMemory();
    }
    DestroyScene(scene);
}

BENCHMARK_CAPTURE(FrameStep, Restore, kDefaultSettings, RestoreFrame);
BENCHMARK_CAPTURE(FrameStep, SeatedCrowd, kDefaultSettings, ShuffleSeatedCrowd);
BENCHMARK_CAPTURE(FrameStep, WalkwayWalkers, kDefaultSettings, UpdateWalkwayWalkers);
BENCHMARK_CAPTURE(FrameStep, ForegroundPieces, kDefaultSettings, DrawForegroundPieces);
BENCHMARK_CAPTURE(FrameStep, CirclingWalkers, kDefaultSettings, UpdateCirclingWalkers);
BENCHMARK_CAPTURE(FrameStep, SeatedCrowdMaximum, AtMaximum(), ShuffleSeatedCrowd);
BENCHMARK_CAPTURE(FrameStep, CirclingWalkersMaximum, AtMaximum(), UpdateCirclingWalkers);

// One tick of a default scene shown full screen at 3840 x 2160, fill,
// 32-bit: composed, pasted, scaled and converted where it changed; beside a
// memcpy of as many bytes as the ticks write on average.
constexpr int kScreenWidth = 3840, kScreenHeight = 2160;

struct BigScreen {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t{kScreenWidth} * kScreenHeight);
    RgbPixels target{pixels.data(), kScreenWidth, {0, 0, kScreenWidth, kScreenHeight}};
    size_t bytesPerTick = 0;  // screen bytes written per tick, averaged over the warm-up
};

BigScreen& TheBigScreen() {
    static BigScreen screen;
    if (screen.scene != nullptr) return screen;
    screen.scene = SetUpScene({kScreenWidth, kScreenHeight, kScreenWidth, 32, &kTrueColour}, nullptr,
                              kDefaultSettings, 20261207).scene;
    if (screen.scene == nullptr) return screen;
    screen.view = CreateScreenView(screen.scene, kPictureFill, kScreenWidth, kScreenHeight);
    if (screen.view == nullptr) return screen;
    PaintScreenView(*screen.view, screen.target);
    size_t bytes = 0;
    constexpr int kWarmUp = 600;
    for (int tick = 0; tick < kWarmUp; ++tick) {
        TickScreenView(*screen.view, screen.target);
        for (int k = 0; k < screen.view->changedCount; ++k)
            bytes += size_t(screen.view->changed[k].width) * size_t(screen.view->changed[k].height) * 4;
    }
    screen.bytesPerTick = bytes / kWarmUp;
    return screen;
}

void ScreenTick(benchmark::State& state) {
    BigScreen& screen = TheBigScreen();
    if (screen.view == nullptr) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    for (auto _ : state) {
        TickScreenView(*screen.view, screen.target);
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(screen.bytesPerTick) + " bytes a tick");
}
BENCHMARK(ScreenTick)->Name("ScreenTick/Fill3840x2160");

void ScreenTickMemcpy(benchmark::State& state) {
    const size_t bytes = std::max<size_t>(TheBigScreen().bytesPerTick, 1);
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(ScreenTickMemcpy)->Name("ScreenTick/MemcpyOfItsBytes");

void SetUp(benchmark::State& state) {
    for (auto _ : state) {
        Scene* scene = SetUpScene({1024, 768, 1024, 32, &kTrueColour}, &TheScreen().surface, kDefaultSettings, 1).scene;
        if (scene == nullptr) {
            state.SkipWithError("the scene did not set up (pictures missing?)");
            break;
        }
        DestroyScene(scene);
    }
}
BENCHMARK(SetUp)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
