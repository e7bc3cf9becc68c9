// One whole frame of the scene (default settings, and every count at its
// maximum, with the least such a frame's pixels cost) and the set-up at 1024 x
// 768, each beside a memcpy of the class 0 frame strip (917 x 334 bytes)
// measured in the same run; the scene shown at
// 3840 x 2160 beside a memcpy of the bytes it writes, beside storing those
// bytes alone where it writes them, and beside SDL2's scaled blit of the
// same rectangles; the present and the storing also cold, as the running
// saver finds the caches. Compare the times.
#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "bench/tick_floor.h"
#include "image/short_copy.h"
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

// One tick of a default scene shown full screen at 3840 x 2160, fit,
// 32-bit: composed, pasted, scaled and converted where it changed; beside a
// memcpy of as many bytes as the ticks write on average.
constexpr int kScreenWidth = 3840, kScreenHeight = 2160;

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
    // The scene from its seed, run kFloorWarmUpTicks: drawn, or (quicker) only
    // moving the view's picture on, which leaves the view as drawing does.
    void Start(bool draw) {
        DestroyScreenView(view);
        DestroyScene(scene);
        view = nullptr;
        scene =
            SetUpScene({kScreenWidth, kScreenHeight, kScreenWidth, 32, &kTrueColour}, kDefaultSettings, 20261207).scene;
        if (scene != nullptr) view = CreateScreenView(scene, kPictureFit, kScreenWidth, kScreenHeight);
        if (view == nullptr) return;
        if (draw) PaintScreenView(*view, target);
        const RgbPixels nowhere{nullptr, kScreenWidth, target.area};
        for (int tick = 0; tick < kFloorWarmUpTicks; ++tick) TickScreenView(*view, draw ? target : nowhere);
    }
};

// The ticks after the warm-up, as the present does them: per tick the
// picture rectangles and the screen rectangles they were scaled to, and
// the screen bytes written on average (counted on a poisoned target: the
// present never reads the target).
constexpr uint32_t kPoison = 0xFF000000u;  // no 0x00RRGGBB pixel

struct PresentRecord {
    std::vector<std::vector<std::pair<Rect, Rect>>> ticks;
    std::vector<std::vector<PixelRun>> written;  // per tick, the runs of pixels it wrote
    size_t bytesPerTick = 0;
};

const PresentRecord& ThePresentRecord() {
    static PresentRecord record;
    if (!record.ticks.empty()) return record;
    BigScreen screen(false);
    if (screen.view == nullptr) return record;
    std::fill(screen.pixels.begin(), screen.pixels.end(), kPoison);
    const Poisoned<uint32_t> poisoned{screen.target, kPoison};
    size_t written = 0;
    for (int tick = 0; tick < kFloorTicks; ++tick) {
        TickScreenView(*screen.view, screen.target);
        std::vector<std::pair<Rect, Rect>> rects;
        std::vector<PixelRun> runs;
        for (int k = 0; k < screen.view->changedCount; ++k) {
            rects.emplace_back(screen.view->changedPicture[k], screen.view->changed[k]);
            TakeStoredRuns(poisoned, poisoned, screen.view->changed[k], &runs);
        }
        for (const PixelRun& run : runs) written += size_t(run.end - run.begin);
        record.ticks.push_back(std::move(rects));
        record.written.push_back(std::move(runs));
    }
    record.bytesPerTick = written * sizeof(uint32_t) / kFloorTicks;
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
BENCHMARK(ScreenTick)->Name("ScreenTick/Fit3840x2160");

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

// The caches and TLB as the running saver finds them after its sleep, when
// the display server and other programs have had them: a buffer larger
// than the last-level cache written over (timing paused by the caller).
void EvictCaches() {
    static std::vector<uint8_t> other(size_t{48} << 20);
    static uint8_t value = 0;
    std::memset(other.data(), ++value, other.size());
    benchmark::DoNotOptimize(other.data());
    benchmark::ClobberMemory();
}

// The cold variants run each recorded tick once a repetition (each
// eviction costs milliseconds).
constexpr int kColdIterations = kFloorTicks;

// The present alone, of the recorded ticks over and over: the scene starts
// again from its seed after the last of them. Composing and starting again
// are left out of the time; cold, the caches are evicted before composing.
void ScreenPresent(benchmark::State& state, bool cold) {
    const PresentRecord& record = ThePresentRecord();
    BigScreen screen(false);
    if (screen.view == nullptr || record.ticks.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    int tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (tick == kFloorTicks) {
            screen.Start(false);
            tick = 0;
        }
        if (cold) EvictCaches();
        ComposeFrame(*screen.scene);
        state.ResumeTiming();
        PresentScreenView(*screen.view, screen.target);
        ++tick;
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(record.bytesPerTick) + " bytes a tick");
}
BENCHMARK_CAPTURE(ScreenPresent, Hot, false)->Name("ScreenPresent/Fit3840x2160");
BENCHMARK_CAPTURE(ScreenPresent, Cold, true)->Name("ScreenPresent/Fit3840x2160Cold")->Iterations(kColdIterations);
BENCHMARK(MemcpyOfPresentBytes)->Name("ScreenPresent/MemcpyOfItsBytes");

// What any present of these ticks must at least do: store each pixel the
// ticks write, where they write it; here one colour, with nothing read,
// compared or scaled. Scattered over a 33 MB screen in short runs, those
// stores cost several times a memcpy of as many bytes; cold, as after an
// eviction.
void WriteOfItsPixels(benchmark::State& state, bool cold) {
    const PresentRecord& record = ThePresentRecord();
    BigScreen& screen = TheBigScreen();
    if (record.written.empty()) {
        state.SkipWithError("the scene or its view did not set up");
        return;
    }
    size_t tick = 0;
    uint32_t colour = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            EvictCaches();
            state.ResumeTiming();
        }
        StoreRuns(record.written[tick], colour, screen.pixels.data(), kScreenWidth);
        tick = (tick + 1) % record.written.size();
        ++colour;
        benchmark::ClobberMemory();
    }
}
BENCHMARK_CAPTURE(WriteOfItsPixels, Hot, false)->Name("ScreenPresent/WriteOfItsPixels");
BENCHMARK_CAPTURE(WriteOfItsPixels, Cold, true)
    ->Name("ScreenPresent/WriteOfItsPixelsCold")
    ->Iterations(kColdIterations);

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

// The whole picture at 3840 x 2160 fit, as the first paint and every
// repaint draw it.
void ScreenPaint(benchmark::State& state) {
    RunOnBigScreen(state, [](ScreenView& view, const RgbPixels& target) { PaintScreenView(view, target); });
}
BENCHMARK(ScreenPaint)->Name("ScreenPaint/Fit3840x2160")->Unit(benchmark::kMillisecond);

// Each host's timer tick of a default scene, composing included, the scene
// running on from one iteration to the next: `zarvo --window` and zarvo
// full screen (centred at 1920 x 1080, whole multiples, k = 2, at 3840 x
// 2160; the tick scales into the 32-bit image it sends; the Wayland
// front end ticks the same XRGB8888 view), Zarvo.scr on a true-colour
// display (into its 32-bit DIB section) and on a palette display (into its
// 8-bit one, or for a whole factor only moving the view's picture on before
// its GDI calls), and the web page (the tick, writing the canvas's bytes
// itself).
enum class Host { kScales, kAdvances, kWeb };

template <typename Pixel>
void HostTick(benchmark::State& state, Host host, PictureSize size, int width, int height, bool cold = false) {
    std::vector<Pixel> pixels(size_t(width) * size_t(height));
    const ScreenPixels<Pixel> target{pixels.data(), width, {0, 0, width, height}};
    const int bits = sizeof(Pixel) == 1 ? 8 : 32;
    Scene* scene = SetUpScene({width, height, width, bits, &kTrueColour}, kDefaultSettings, 20261207).scene;
    ScreenView* view = scene != nullptr ? CreateScreenView(scene, size, width, height) : nullptr;
    if (view != nullptr) {
        if (host == Host::kWeb) UseCanvasByteOrder(*view);
        PaintScreenView(*view, target);
        for (auto _ : state) {
            if (cold) {
                state.PauseTiming();
                EvictCaches();
                state.ResumeTiming();
            }
            if (host == Host::kAdvances) {
                AdvanceScreenView(*view);
            } else {
                TickScreenView(*view, target);
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
// one, as in the running program at redraw speed 120: it costs about what
// a running zarvo's tick does, several times the warm tick.
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
BENCHMARK_CAPTURE(TrueColourTick, WindowsDib, Host::kScales, kPictureFit, 1920, 1080)
    ->Name("ScreenTick/WindowsDibFit1920x1080")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PaletteTick, WindowsPalette, Host::kScales, kPictureFit, 1920, 1080)
    ->Name("ScreenTick/WindowsPaletteFit1920x1080")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, X11WholeMultiples, Host::kScales, kPictureWholeMultiples, 3840, 2160)
    ->Name("ScreenTick/X11WholeMultiples3840x2160")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TrueColourTick, Web, Host::kWeb, kPictureCentred, 1024, 768)
    ->Name("ScreenTick/WebCentred1024x768")
    ->Unit(benchmark::kMicrosecond);

// What each host's tick must at least do: compose the frame and store each
// pixel the tick writes, where it writes it (one value, nothing read,
// compared or converted); for the centred ticks also with the least a
// present that searches for the changes reads. The web page's tick stores
// the same pixels as the window's (its colour table differs, not where it
// writes), so the window's floor is its floor too.
FloorRecord RecordHostTicks(Host host, const FloorShape& shape) {
    if (host == Host::kAdvances) return RecordAdvanceTicks(shape);
    if (shape.bits == 8) return RecordScreenTicks<uint8_t>(shape, nullptr);
    return RecordScreenTicks<uint32_t>(shape, host == Host::kWeb ? UseCanvasByteOrder : nullptr);
}

// Recorded once a host and shape: the framework calls a benchmark again
// for each run.
const FloorRecord& HostFloorRecord(Host host, const FloorShape& shape) {
    static std::map<std::tuple<Host, PictureSize, int, int, int>, FloorRecord> records;
    const auto key = std::make_tuple(host, shape.size, shape.width, shape.height, shape.bits);
    auto found = records.find(key);
    if (found == records.end()) found = records.emplace(key, RecordHostTicks(host, shape)).first;
    return found->second;
}

void HostFloor(benchmark::State& state, Host host, PictureSize size, int width, int height, int bits, bool compare) {
    const FloorShape shape{size, width, height, bits};
    ReplayFloor(state, shape, HostFloorRecord(host, shape), compare);
}
BENCHMARK_CAPTURE(HostFloor, X11Window, Host::kScales, kPictureCentred, 1024, 768, 32, false)
    ->Name("ScreenTick/Centred1024x768Floor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, X11WindowCompare, Host::kScales, kPictureCentred, 1024, 768, 32, true)
    ->Name("ScreenTick/Centred1024x768CompareFloor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, X11FullScreen, Host::kScales, kPictureCentred, 1920, 1080, 32, false)
    ->Name("ScreenTick/X11FullScreen1920x1080Floor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, WindowsCentred, Host::kAdvances, kPictureCentred, 1024, 768, 32, false)
    ->Name("ScreenTick/WindowsCentred1024x768Floor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, WindowsCentredCompare, Host::kAdvances, kPictureCentred, 1024, 768, 32, true)
    ->Name("ScreenTick/WindowsCentred1024x768CompareFloor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, WindowsDib, Host::kScales, kPictureFit, 1920, 1080, 32, false)
    ->Name("ScreenTick/WindowsDibFit1920x1080Floor")
    ->Unit(benchmark::kMicrosecond);
// With the scaling arithmetic: the Windows true-colour fit's stores, each
// made from its working lines, each line pixel from its picture colours.
void ScalingFloor(benchmark::State& state, PictureSize size, int width, int height) {
    const FloorShape shape{size, width, height, 32};
    ReplayScalingFloor(state, shape, HostFloorRecord(Host::kScales, shape));
}
BENCHMARK_CAPTURE(ScalingFloor, WindowsDib, kPictureFit, 1920, 1080)
    ->Name("ScreenTick/WindowsDibFit1920x1080ScalingFloor")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(HostFloor, WindowsPalette, Host::kScales, kPictureFit, 1920, 1080, 8, false)
    ->Name("ScreenTick/WindowsPaletteFit1920x1080Floor")
    ->Unit(benchmark::kMicrosecond);

// What any compose of the frames with every count at maximum must at least
// do, with the same sprites: put the picture back under the pixels the last
// tick's figures, dots and the patches that left the ring covered (each
// pixel once, in runs per row), then copy the patches that joined the ring,
// set the dots and draw each figure once. Left out: the figures' motion and
// the random draws, marking, and redrawing the building, lamps and
// foreground pieces over figures behind them. Ticks recorded after the
// warm-up, replayed over and over into a copy of the frame.
struct FloorSquare {
    int sx, sy, dx, dy, size;  // a patch from the picture, or a dot (sx < 0)
};
struct MaximumTick {
    std::vector<std::pair<const SpanSprite*, Point>> figures;
    std::vector<FloorSquare> squares;
    std::vector<PixelRun> restored;  // frame rows, picture put back
};

// Frame pixels a tick covered, one byte each, turned into runs per row.
struct Coverage {
    int width, height;
    std::vector<uint8_t> marks;
    void Add(int x, int y, int w, int h) {
        for (int row = std::max(y, 0); row < std::min(y + h, height); ++row) {
            for (int col = std::max(x, 0); col < std::min(x + w, width); ++col) marks[size_t(row) * width + col] = 1;
        }
    }
    void AddSprite(const SpanSprite* sprite, Point at) {
        for (int r = 0; r < sprite->height; ++r) {
            const SpanRow& row = sprite->rows[r];
            if (row.runCount > 0) Add(at.x + row.left, at.y + r, row.right - row.left, 1);
        }
    }
    // Runs apart by fewer than 16 pixels are joined: the pixels between
    // hold the picture already, and copying them costs less than a run.
    std::vector<PixelRun> TakeRuns() {
        std::vector<PixelRun> runs;
        for (int y = 0; y < height; ++y) {
            uint8_t* row = marks.data() + size_t(y) * width;
            for (int x = 0; x < width;) {
                if (!row[x]) {
                    ++x;
                    continue;
                }
                const int begin = x;
                while (x < width && row[x]) row[x++] = 0;
                if (!runs.empty() && runs.back().y == y && begin - runs.back().end < 16) {
                    runs.back().end = x;
                } else {
                    runs.push_back({y, begin, x});
                }
            }
        }
        return runs;
    }
};

// The draws of the tick about to be composed, from the scene as it stands.
void RecordFigureDraws(const Scene& scene, MaximumTick& tick, Coverage& covered) {
    const auto figure = [&](Point at, int kind) {
        const SpanSprite* sprite = scene.cellSprites[kind + scene.cellSetOffset];
        const Point to = FigureCellCorner(scene, at.x, at.y, kind);
        tick.figures.emplace_back(sprite, to);
        covered.AddSprite(sprite, to);
    };
    const int walkers = std::min(scene.settings.walkwayWalkers, kWalkerGroupSize);
    for (int i = 0; i < walkers; ++i) {
        const WalkwayWalker& w = scene.walkwayWalkers[i];
        figure(WalkerPoint(scene.walkwayQuads[w.way & 1], w), w.cell);
    }
    for (int i = 0; i < walkers; ++i) {
        const WalkwayWalker& w = scene.walkwayWalkers[kDotWalkerFirst + i];
        const Point at = WalkerPoint(scene.dotQuads[w.way & 1], w);
        const FloorSquare dot = {-1, 0, at.x - scene.frameOrigin.x, at.y - scene.frameOrigin.y, DotSize(scene)};
        tick.squares.push_back(dot);
        covered.Add(dot.dx, dot.dy, dot.size, dot.size);
    }
    Point positions[kMaxCircleWalkers];
    const int count = PlaceCircleWalkers(scene, positions);
    for (int i = 0; i < count; ++i) figure(positions[i], i % 5);
}

// The patches that joined the ring (drawn) and those that left it (put back).
void RecordPatchChanges(const Scene& scene, const SeatPatch* before, MaximumTick& tick, Coverage& left) {
    for (int k = 0; k < scene.settings.seatPatches; ++k) {
        const SeatPatch& was = before[k];
        const SeatPatch& now = scene.patchRing[k];
        if (was.size == now.size && was.x == now.x && was.y == now.y) continue;
        const Point o = scene.frameOrigin;
        left.Add(was.x - o.x - 2, was.y - o.y - 2, was.size, was.size);
        tick.squares.push_back({now.x, now.y, now.x - o.x - 2, now.y - o.y - 2, now.size});
    }
}

std::vector<MaximumTick> RecordMaximumTicks(Scene& scene) {
    const int width = ImageWidth(scene.frameImage), height = ImageHeight(scene.frameImage);
    Coverage covered{width, height, std::vector<uint8_t>(size_t(width) * height)};
    std::vector<MaximumTick> ticks(kFloorTicks + 1);
    std::vector<SeatPatch> before(kPatchRingSize);
    for (MaximumTick& tick : ticks) {
        // The last tick's figures are in `covered` already.
        std::copy(scene.patchRing, scene.patchRing + kPatchRingSize, before.begin());
        Coverage drawn{width, height, std::vector<uint8_t>(size_t(width) * height)};
        RecordFigureDraws(scene, tick, drawn);
        ComposeFrame(scene);
        RecordPatchChanges(scene, before.data(), tick, covered);
        tick.restored = covered.TakeRuns();
        covered = std::move(drawn);
    }
    ticks.erase(ticks.begin());  // its restore lacks the tick before
    return ticks;
}

void ReplayMaximumTick(const MaximumTick& tick, const Image* fixed, const Image* picture, Image* frame) {
    const ImageRows from = RowsOf(fixed), to = RowsOf(frame), source = RowsOf(picture);
    for (const PixelRun& run : tick.restored) {
        CopyShort(RowsPixel(to, run.begin, run.y), RowsPixel(from, run.begin, run.y), run.end - run.begin);
    }
    for (const FloorSquare& s : tick.squares) {
        if (s.dx <= 0 || s.dy <= 0 || s.dx >= to.width - 2 || s.dy >= to.height - 2) continue;
        for (int row = 0; row < s.size; ++row) {
            uint8_t* out = RowsPixel(to, s.dx, s.dy + row);
            if (s.sx < 0) std::memset(out, 0, size_t(s.size));
            if (s.sx >= 0) CopyShort(out, RowsPixel(source, s.sx, s.sy + row), s.size);
        }
    }
    for (const auto& [sprite, at] : tick.figures) DrawSpanSprite(sprite, frame, at);
}

void FrameFloor(benchmark::State& state, const SettingsRecord& settings) {
    Scene* scene = SetUpRunningScene(settings);
    if (scene == nullptr || scene->fixedImage == nullptr) {
        state.SkipWithError("the scene did not set up with a fixed image");
        DestroyScene(scene);
        return;
    }
    const std::vector<MaximumTick> ticks = RecordMaximumTicks(*scene);
    size_t runs = 0, bytes = 0;
    for (const MaximumTick& t : ticks) {
        runs += t.restored.size();
        for (const PixelRun& r : t.restored) bytes += size_t(r.end - r.begin);
    }
    state.SetLabel(std::to_string(runs / ticks.size()) + " runs of " + std::to_string(bytes / ticks.size()) +
                   " bytes put back a tick");
    size_t tick = 0;
    for (auto _ : state) {
        ReplayMaximumTick(ticks[tick], scene->fixedImage, scene->backgroundImage, scene->frameImage);
        tick = (tick + 1) % ticks.size();
        benchmark::ClobberMemory();
    }
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(FrameFloor, Maximum, AtMaximum())->Name("Frame/MaximumFloor");

// The changed rectangles of 300 recorded ticks of a running default scene
// (both frames' marks, gaps joined, as the hosts ask for them), made with
// the rectangle above each run looked up by its first column or walked to.
void ChangedRects(benchmark::State& state, int byColumn) {
    Scene* scene = SetUpRunningScene(kDefaultSettings);
    if (scene == nullptr) {
        state.SkipWithError("the scene did not set up (pictures missing?)");
        return;
    }
    const int rowCount = (ImageHeight(scene->frameImage) + kFrameTileHeight - 1) / kFrameTileHeight;
    std::vector<std::vector<uint64_t>> ticks(300);
    for (std::vector<uint64_t>& rows : ticks) {
        ComposeFrame(*scene);
        for (int y = 0; y < rowCount; ++y)
            rows.push_back(JoinTileGaps(scene->drawnTiles[0][y] | scene->drawnTiles[1][y], 2));
    }
    Rect rects[kMaxViewChanges];
    size_t tick = 0;
    for (auto _ : state) {
        const std::vector<uint64_t>& rows = ticks[tick];
        benchmark::DoNotOptimize(RowRunRects(rows.data(), rowCount, ImageWidth(scene->frameImage),
                                             ImageHeight(scene->frameImage), rects, kMaxViewChanges, byColumn));
        benchmark::ClobberMemory();
        tick = (tick + 1) % ticks.size();
    }
    DestroyScene(scene);
}
BENCHMARK_CAPTURE(ChangedRects, ByColumn, 1)->Name("ChangedRects/ByColumn");
BENCHMARK_CAPTURE(ChangedRects, Walked, 0)->Name("ChangedRects/Walked");

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
