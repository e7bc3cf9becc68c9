// One whole frame of the scene (default settings, and every count at its
// maximum) and the set-up at 1024 x 768, each beside a memcpy of the class 0
// frame strip (917 x 334 bytes) measured in the same run; the scene shown at
// 3840 x 2160 beside a memcpy of the bytes it writes, beside storing those
// bytes alone where it writes them, and beside SDL2's scaled blit of the
// same rectangles. Compare the times.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "scene/screen_view.h"
#include "scene/steps.h"
#include "web/canvas.h"

namespace {

constexpr size_t kStripBytes = size_t{917} * 334;
const DisplayPaletteInfo kTrueColour = {-1, 0, {}};

SettingsRecord AtMaximum() {
    SettingsRecord record = kDefaultSettings;
    for (Setting& entry : record.entries) entry.value = entry.max;
    return record;
}

// A scene at 1024 x 768, run a while so that walkers and patches are spread
// as they are in a running saver; null when it did not set up.
Scene* SetUpRunningScene(const SettingsRecord& settings) {
    Scene* scene = SetUpScene({1024, 768, 1024, 32, &kTrueColour}, settings, 20261207).scene;
    if (scene == nullptr) return nullptr;
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

void Frame(benchmark::State& state, const SettingsRecord& settings) {
    Scene* scene = SetUpRunningScene(settings);
    if (scene == nullptr) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    for (auto _ : state) {
        ComposeFrame(*scene);
        benchmark::ClobberMemory();
    }
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(Frame, Default, kDefaultSettings);
BENCHMARK_CAPTURE(Frame, Maximum, AtMaximum());

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
constexpr int kWarmUpTicks = 600;

struct BigScreen {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    std::vector<uint32_t> pixels = std::vector<uint32_t>(size_t{kScreenWidth} * kScreenHeight);
    RgbPixels target{pixels.data(), kScreenWidth, {0, 0, kScreenWidth, kScreenHeight}};

    explicit BigScreen(bool draw) { Start(draw); }
    ~BigScreen() {
        DestroyScreenView(view);
        DestroyScene(scene);
    }
    // The scene from its seed, run kWarmUpTicks: drawn, or (quicker) only
    // moving the view's picture on, which leaves the view as drawing does.
    void Start(bool draw) {
        DestroyScreenView(view);
        DestroyScene(scene);
        view = nullptr;
        scene =
            SetUpScene({kScreenWidth, kScreenHeight, kScreenWidth, 32, &kTrueColour}, kDefaultSettings, 20261207).scene;
        if (scene != nullptr) view = CreateScreenView(scene, kPictureFill, kScreenWidth, kScreenHeight);
        if (view == nullptr) return;
        if (draw) PaintScreenView(*view, target);
        const RgbPixels nowhere{nullptr, kScreenWidth, target.area};
        for (int tick = 0; tick < kWarmUpTicks; ++tick) TickScreenView(*view, draw ? target : nowhere);
    }
};

// The ticks after the warm-up, as the present does them: per tick the
// picture rectangles and the screen rectangles they were scaled to, and
// the screen bytes written on average (counted on a poisoned target: the
// present never reads the target).
constexpr int kRecordedTicks = 300;
constexpr uint32_t kPoison = 0xFF000000u;  // no 0x00RRGGBB pixel

// Screen columns [begin, end) of row y.
struct ScreenRun {
    int y, begin, end;
};

struct PresentRecord {
    std::vector<std::vector<std::pair<Rect, Rect>>> ticks;
    std::vector<std::vector<ScreenRun>> written;  // per tick, the runs of pixels it wrote
    size_t bytesPerTick = 0;
};

// The runs of written (unpoisoned) pixels in r, poisoned again; their pixel count.
size_t CountAndPoison(std::vector<uint32_t>& pixels, int width, Rect r, std::vector<ScreenRun>& runs) {
    size_t written = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        uint32_t* row = pixels.data() + size_t(y) * size_t(width);
        for (int x = r.x; x < r.x + r.width;) {
            if (row[x] == kPoison) {
                ++x;
                continue;
            }
            const int begin = x;
            while (x < r.x + r.width && row[x] != kPoison) row[x++] = kPoison;
            runs.push_back({y, begin, x});
            written += size_t(x - begin);
        }
    }
    return written;
}

const PresentRecord& ThePresentRecord() {
    static PresentRecord record;
    if (!record.ticks.empty()) return record;
    BigScreen screen(false);
    if (screen.view == nullptr) return record;
    std::fill(screen.pixels.begin(), screen.pixels.end(), kPoison);
    size_t written = 0;
    for (int tick = 0; tick < kRecordedTicks; ++tick) {
        TickScreenView(*screen.view, screen.target);
        std::vector<std::pair<Rect, Rect>> rects;
        std::vector<ScreenRun> runs;
        for (int k = 0; k < screen.view->changedCount; ++k) {
            rects.emplace_back(screen.view->changedPicture[k], screen.view->changed[k]);
            written += CountAndPoison(screen.pixels, kScreenWidth, screen.view->changed[k], runs);
        }
        record.ticks.push_back(std::move(rects));
        record.written.push_back(std::move(runs));
    }
    record.bytesPerTick = written * sizeof(uint32_t) / kRecordedTicks;
    return record;
}

BigScreen& TheBigScreen() {
    static BigScreen screen(true);
    return screen;
}

// `draw` on the big screen's view, again and again; false when it did not set up.
template <typename Draw>
bool RunOnBigScreen(benchmark::State& state, Draw draw) {
    BigScreen& screen = TheBigScreen();
    if (screen.view == nullptr) {
        state.SkipWithError("the scene or its view did not set up");
        return false;
    }
    for (auto _ : state) {
        draw(*screen.view, screen.target);
        benchmark::ClobberMemory();
    }
    return true;
}

void ScreenTick(benchmark::State& state) {
    if (!RunOnBigScreen(state, [](ScreenView& view, const RgbPixels& target) { TickScreenView(view, target); })) return;
    state.SetLabel(std::to_string(ThePresentRecord().bytesPerTick) + " bytes a tick");
}
BENCHMARK(ScreenTick)->Name("ScreenTick/Fill3840x2160");

void MemcpyOfPresentBytes(benchmark::State& state) {
    const size_t bytes = std::max<size_t>(ThePresentRecord().bytesPerTick, 1);
    std::vector<uint8_t> from(bytes, 1), to(bytes, 2);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(bytes) + " bytes");
}
BENCHMARK(MemcpyOfPresentBytes)->Name("ScreenTick/MemcpyOfItsBytes");

// The present alone, of the recorded ticks over and over: the scene starts
// again from its seed after the last of them. Composing and starting again
// are left out of the time.
void ScreenPresent(benchmark::State& state) {
    const PresentRecord& record = ThePresentRecord();
    BigScreen screen(false);
    if (screen.view == nullptr || record.ticks.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (tick == kRecordedTicks) {
            screen.Start(false);
            tick = 0;
        }
        ComposeFrame(*screen.scene);
        state.ResumeTiming();
        PresentScreenView(*screen.view, screen.target);
        ++tick;
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(record.bytesPerTick) + " bytes a tick");
}
BENCHMARK(ScreenPresent)->Name("ScreenPresent/Fill3840x2160");
BENCHMARK(MemcpyOfPresentBytes)->Name("ScreenPresent/MemcpyOfItsBytes");

// What any present of these ticks must at least do: store each pixel the
// ticks write, where they write it; here one colour, with nothing read,
// compared or scaled. Scattered over a 33 MB screen in short runs, those
// stores cost several times a memcpy of as many bytes.
void WriteOfItsPixels(benchmark::State& state) {
    const PresentRecord& record = ThePresentRecord();
    BigScreen& screen = TheBigScreen();
    if (record.written.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    size_t tick = 0;
    uint32_t colour = 0;
    for (auto _ : state) {
        for (const ScreenRun& run : record.written[tick]) {
            uint32_t* row = screen.pixels.data() + size_t(run.y) * kScreenWidth;
            std::fill(row + run.begin, row + run.end, colour);
        }
        tick = (tick + 1) % record.written.size();
        ++colour;
        benchmark::ClobberMemory();
    }
}
BENCHMARK(WriteOfItsPixels)->Name("ScreenPresent/WriteOfItsPixels");

// SDL2 scaling the same picture rectangles to the same screen rectangles,
// tick by tick, from an 8-bit surface over the picture with the scene
// palette to a 32-bit one of the screen's size. SDL_BlitScaled does not
// convert 8-bit to 32-bit as it scales ("Blit combination not supported"),
// so each rectangle is converted into a 32-bit copy of the picture first,
// as an SDL program would. SDL rows run top-down and the picture's
// bottom-up, so its rectangles are turned over (the same work).
void ScreenPresentSdl(benchmark::State& state) {
    const PresentRecord& record = ThePresentRecord();
    BigScreen& screen = TheBigScreen();
    if (screen.view == nullptr || record.ticks.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    const Image* picture = screen.view->picture;
    const int width = ImageWidth(picture), height = ImageHeight(picture);
    SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(ImagePixels(picture), width, height, 8, ImageStride(picture),
                                                           SDL_PIXELFORMAT_INDEX8);
    SDL_Surface* converted = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_Surface* to = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_XRGB8888);
    SDL_Palette* palette = SDL_AllocPalette(kColorCount);
    if (from == nullptr || converted == nullptr || to == nullptr || palette == nullptr) {
        state.SkipWithError("SDL surfaces could not be made");
        return;
    }
    SDL_Color colours[kColorCount];
    for (int i = 0; i < kColorCount; ++i) {
        const uint32_t c = screen.view->rgbTable[i];
        colours[i] = SDL_Color{uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), 255};
    }
    SDL_SetPaletteColors(palette, colours, 0, kColorCount);
    SDL_SetSurfacePalette(from, palette);
    size_t tick = 0;
    int failed = 0;
    for (auto _ : state) {
        for (const auto& [p, s] : record.ticks[tick]) {
            SDL_Rect source{p.x, height - p.y - p.height, p.width, p.height};
            SDL_Rect same = source, destination{s.x, s.y, s.width, s.height};
            failed |= SDL_BlitSurface(from, &source, converted, &same);
            failed |= SDL_BlitScaled(converted, &source, to, &destination);
        }
        tick = (tick + 1) % record.ticks.size();
        benchmark::ClobberMemory();
    }
    if (failed) state.SkipWithError(SDL_GetError());
    SDL_FreeSurface(from);
    SDL_FreeSurface(converted);
    SDL_FreeSurface(to);
    SDL_FreePalette(palette);
}
BENCHMARK(ScreenPresentSdl)->Name("ScreenPresent/SdlBlitScaled");

// The whole picture at 3840 x 2160 fill, as the first paint and every
// repaint draw it.
void ScreenPaint(benchmark::State& state) {
    RunOnBigScreen(state, [](ScreenView& view, const RgbPixels& target) { PaintScreenView(view, target); });
}
BENCHMARK(ScreenPaint)->Name("ScreenPaint/Fill3840x2160")->Unit(benchmark::kMillisecond);

// Each host's timer tick of a default scene, composing included, the scene
// running on from one iteration to the next: `zarvo --window` and zarvo
// full screen (centred at 1920 x 1080, whole multiples, k = 2, at 3840 x
// 2160; the tick scales into the 32-bit image it sends; the Wayland
// front end ticks the same XRGB8888 view), Zarvo.scr on a true-colour
// display (into its 32-bit DIB section) and on a palette display (into its
// 8-bit one, or for a whole factor only moving the view's picture on before
// its GDI calls), and the web page (the tick, then the changed rectangle
// turned into the canvas's RGBA bytes).
enum class Host { kScales, kAdvances, kWeb };

// What a running program's tick finds in the caches: the other programs
// that ran in the 10 ms since the last one have taken them, down to the
// last level (32 MB here). Written over with timing paused, before each
// tick of a cold variant; a running zarvo's tick costs about what this
// one does, four times the warm tick.
constexpr size_t kEvictionBytes = size_t{64} << 20;

void EvictCaches(benchmark::State& state, std::vector<uint8_t>& eviction) {
    state.PauseTiming();
    for (size_t i = 0; i < eviction.size(); i += 64) eviction[i] = uint8_t(eviction[i] + 1);
    benchmark::ClobberMemory();
    state.ResumeTiming();
}

template <typename Pixel>
void HostTick(benchmark::State& state, Host host, PictureSize size, int width, int height, bool cold = false) {
    std::vector<Pixel> pixels(size_t(width) * size_t(height));
    std::vector<uint8_t> eviction(cold ? kEvictionBytes : 0);
    std::vector<uint8_t> rgba(host == Host::kWeb ? 4 * pixels.size() : 0);
    const ScreenPixels<Pixel> target{pixels.data(), width, {0, 0, width, height}};
    const int bits = sizeof(Pixel) == 1 ? 8 : 32;
    Scene* scene = SetUpScene({width, height, width, bits, &kTrueColour}, kDefaultSettings, 20261207).scene;
    ScreenView* view = scene != nullptr ? CreateScreenView(scene, size, width, height) : nullptr;
    if (view != nullptr) {
        PaintScreenView(*view, target);
        for (auto _ : state) {
            if (cold) EvictCaches(state, eviction);
            if (host == Host::kAdvances) {
                AdvanceScreenView(*view);
            } else {
                TickScreenView(*view, target);
                if constexpr (sizeof(Pixel) == 4) {
                    if (host == Host::kWeb) CopyChangesToCanvas(*view, pixels.data(), width, rgba.data());
                }
            }
            benchmark::ClobberMemory();
        }
    } else {
        state.SkipWithError("the scene or its view did not set up");
    }
    DestroyScreenView(view);
    DestroyScene(scene);
}
void TrueColourTick(benchmark::State& state, Host host, PictureSize size, int width, int height) {
    HostTick<uint32_t>(state, host, size, width, height);
}
void PaletteTick(benchmark::State& state, Host host, PictureSize size, int width, int height) {
    HostTick<uint8_t>(state, host, size, width, height);
}
BENCHMARK_CAPTURE(TrueColourTick, X11Window, Host::kScales, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/Centred1024x768")
    ->Unit(benchmark::kMicrosecond);
// The same tick with the caches taken by something else since the last
// one, as in the running program at redraw speed 120.
void ColdTrueColourTick(benchmark::State& state, PictureSize size, int width, int height) {
    HostTick<uint32_t>(state, Host::kScales, size, width, height, true);
}
BENCHMARK_CAPTURE(ColdTrueColourTick, X11Window, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/Centred1024x768Cold")
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.05);  // each tick waits milliseconds for its eviction
BENCHMARK_CAPTURE(TrueColourTick, X11FullScreen, Host::kScales, kPictureCentred, 1920, 1080)
    ->Name("ScreenTick/X11FullScreen1920x1080")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, WindowsCentred, Host::kAdvances, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/WindowsCentred1024x768")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, WindowsDib, Host::kScales, kPictureFill, 1920, 1080)
    ->Name("ScreenTick/WindowsDibFill1920x1080")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PaletteTick, WindowsPalette, Host::kScales, kPictureFill, 1920, 1080)
    ->Name("ScreenTick/WindowsPaletteFill1920x1080")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, X11WholeMultiples, Host::kScales, kPictureWholeMultiples, 3840, 2160)
    ->Name("ScreenTick/X11WholeMultiples3840x2160")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, Web, Host::kWeb, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/WebCentred1024x768")
    ->Unit(benchmark::kMicrosecond);

// What the centred window's tick must at least do: compose the frame and
// store each pixel the tick writes, where it writes it (one colour, nothing
// read, compared or converted). The scene runs the same ticks as the record,
// from the same seed, starting again after the last of them.
constexpr int kWindowWidth = 1024, kWindowHeight = 768;

Scene* WarmWindowScene() {
    Scene* scene =
        SetUpScene({kWindowWidth, kWindowHeight, kWindowWidth, 32, &kTrueColour}, kDefaultSettings, 20261207).scene;
    for (int tick = 0; scene != nullptr && tick < kWarmUpTicks; ++tick) ComposeFrame(*scene);
    return scene;
}

// Per recorded tick after the warm-up, the runs of pixels the centred tick writes.
std::vector<std::vector<ScreenRun>> CentredWrites() {
    std::vector<std::vector<ScreenRun>> written;
    Scene* scene = WarmWindowScene();
    ScreenView* view =
        scene != nullptr ? CreateScreenView(scene, kPictureCentred, kWindowWidth, kWindowHeight) : nullptr;
    std::vector<uint32_t> pixels(size_t{kWindowWidth} * kWindowHeight, kPoison);
    const RgbPixels target{pixels.data(), kWindowWidth, {0, 0, kWindowWidth, kWindowHeight}};
    if (view != nullptr) {
        PresentScreenView(*view, target);  // the whole strip, as the paint put it
        std::fill(pixels.begin(), pixels.end(), kPoison);
        for (int tick = 0; tick < kRecordedTicks; ++tick) {
            TickScreenView(*view, target);
            std::vector<ScreenRun> runs;
            for (int k = 0; k < view->changedCount; ++k) CountAndPoison(pixels, kWindowWidth, view->changed[k], runs);
            written.push_back(std::move(runs));
        }
    }
    DestroyScreenView(view);
    DestroyScene(scene);
    return written;
}

void CentredFloor(benchmark::State& state) {
    const std::vector<std::vector<ScreenRun>> written = CentredWrites();
    Scene* scene = WarmWindowScene();
    if (scene == nullptr || written.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        DestroyScene(scene);
        return;
    }
    std::vector<uint32_t> pixels(size_t{kWindowWidth} * kWindowHeight);
    size_t tick = 0;
    uint32_t colour = 0;
    for (auto _ : state) {
        if (tick == written.size()) {
            state.PauseTiming();
            DestroyScene(scene);
            scene = WarmWindowScene();
            tick = 0;
            state.ResumeTiming();
        }
        ComposeFrame(*scene);
        for (const ScreenRun& run : written[tick]) {
            uint32_t* row = pixels.data() + size_t(run.y) * kWindowWidth;
            std::fill(row + run.begin, row + run.end, colour);
        }
        ++tick;
        ++colour;
        benchmark::ClobberMemory();
    }
    DestroyScene(scene);
}
BENCHMARK(CentredFloor)->Name("ScreenTick/Centred1024x768Floor")->Unit(benchmark::kMicrosecond);

void SetUp(benchmark::State& state) {
    for (auto _ : state) {
        Scene* scene = SetUpScene({1024, 768, 1024, 32, &kTrueColour}, kDefaultSettings, 1).scene;
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
