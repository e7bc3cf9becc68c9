// Recording a host tick's stores and replaying them as its floor.
#include "bench/tick_floor.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "scene/steps.h"

namespace {

const DisplayPaletteInfo kTrueColour = {-1, 0, {}};

// The view's picture spans behind each screen rectangle of the last
// present, as picture runs.
void AddPastedRuns(const ScreenView& view, std::vector<PixelRun>* runs) {
    for (int k = 0; k < view.changedCount; ++k) {
        const PictureSpans& part = view.writtenParts[k];
        for (int i = 0; i < part.rowCount; ++i) {
            const RowSpans& row = part.rows[i];
            for (int s = 0; s < row.count; ++s) runs->push_back({part.top + i, row.spans[s].begin, row.spans[s].end});
        }
    }
}

// Sixteen bytes as two words, which the compiler keeps in one vector
// register: the widest load every x86-64 has.
typedef uint64_t Bytes16 __attribute__((vector_size(16)));

// Bytes a and b of `count`, XORed and OR-reduced sixteen at a time.
uint64_t DifferenceOf(const uint8_t* a, const uint8_t* b, int count) {
    Bytes16 any = {0, 0};
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        Bytes16 x, y;
        std::memcpy(&x, a + i, 16);
        std::memcpy(&y, b + i, 16);
        any |= x ^ y;
    }
    uint64_t rest = any[0] | any[1];
    for (; i < count; ++i) rest |= uint64_t(a[i] ^ b[i]);
    return rest;
}

// One read pass over the frame and picture bytes of the compared rectangles.
uint64_t CompareParts(const ScreenView& view, const std::vector<Rect>& compared) {
    const Scene& scene = *view.scene;
    const ImageRows frame = RowsOf(scene.frameImage), picture = RowsOf(view.picture);
    uint64_t any = 0;
    for (const Rect& r : compared) {
        for (int y = r.y; y < r.y + r.height; ++y) {
            any |= DifferenceOf(RowsPixel(frame, r.x - scene.frameOrigin.x, y - scene.frameOrigin.y),
                                RowsPixel(picture, r.x, y), r.width);
        }
    }
    return any;
}

template <typename Pixel>
void CopyRuns(const std::vector<PixelRun>& runs, const Pixel* from, Pixel* to, int width) {
    for (const PixelRun& run : runs) {
        const size_t start = size_t(run.y) * size_t(width) + size_t(run.begin);
        std::memcpy(to + start, from + start, size_t(run.end - run.begin) * sizeof(Pixel));
    }
}

size_t PixelsOf(const std::vector<PixelRun>& runs) {
    size_t pixels = 0;
    for (const PixelRun& run : runs) pixels += size_t(run.end - run.begin);
    return pixels;
}

// A tick on average: what it stores, copies and compares.
std::string Describe(const FloorRecord& record) {
    size_t stored = 0, runs = 0, copied = 0, compared = 0;
    for (const FloorTick& t : record.ticks) {
        stored += PixelsOf(t.stored);
        runs += t.stored.size();
        copied += PixelsOf(t.copied);
        for (const Rect& r : t.compared) compared += size_t(r.width) * size_t(r.height);
    }
    const size_t n = std::max<size_t>(record.ticks.size(), 1);
    return std::to_string(stored / n) + " px in " + std::to_string(runs / n) + " runs stored, " +
           std::to_string(copied / n) + " copied, " + std::to_string(compared / n) + " compared a tick";
}

// Past the record's last tick the scene starts again from its seed, so the
// frames composed go on matching the recorded stores (untimed).
void RestartAtRecordEnd(benchmark::State& state, const FloorShape& shape, const FloorRecord& record, Scene** scene,
                        ScreenView** view, size_t* tick) {
    if (*tick != record.ticks.size()) return;
    state.PauseTiming();
    EndFloorScene(scene, view);
    StartFloorScene(shape, scene, view);
    *tick = 0;
    state.ResumeTiming();
}

template <typename Pixel>
void Replay(benchmark::State& state, const FloorShape& shape, const FloorRecord& record, bool compare) {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    if (record.ticks.empty() || !StartFloorScene(shape, &scene, &view)) {
        state.SkipWithError("the scene or its view did not set up");
        EndFloorScene(&scene, &view);
        return;
    }
    const size_t area = size_t(record.width) * size_t(record.height);
    // A host that copies between two buffers draws them in turn; any
    // other stores into its one surface.
    const bool copies =
        std::any_of(record.ticks.begin(), record.ticks.end(), [](const FloorTick& t) { return !t.copied.empty(); });
    std::vector<Pixel> buffers[2] = {std::vector<Pixel>(area), std::vector<Pixel>(copies ? area : 0)};
    size_t tick = 0;
    Pixel value = 0;
    for (auto _ : state) {
        RestartAtRecordEnd(state, shape, record, &scene, &view, &tick);
        const FloorTick& t = record.ticks[tick];
        Pixel* to = buffers[copies ? tick & 1 : 0].data();
        ComposeFrame(*scene);
        if (compare) benchmark::DoNotOptimize(CompareParts(*view, t.compared));
        CopyRuns(t.copied, buffers[~tick & 1].data(), to, record.width);
        StoreRuns(t.stored, ++value, to, record.width);
        ++tick;
        benchmark::ClobberMemory();
    }
    state.SetLabel(Describe(record));
    EndFloorScene(&scene, &view);
}

// Four pixels and the weights of their second colours, each in both 16-bit
// halves of its lane: per byte (a (256 - w) + b w + 128) / 256, as the
// scaler blends.
typedef uint32_t Four __attribute__((vector_size(16)));
typedef uint16_t FourLanes __attribute__((vector_size(16)));

Four BlendFour(Four a, Four b, Four w) {
    const FourLanes x = FourLanes(a), y = FourLanes(b), u = FourLanes(w), v = 256 - u;
    const FourLanes blueRed = ((x & 0xFF) * v + (y & 0xFF) * u + 0x80) >> 8;
    const FourLanes green = ((x >> 8) * v + (y >> 8) * u + 0x80) & 0xFF00;
    return Four(blueRed | green);
}

Four LoadFour(const uint32_t* at) {
    Four four;
    std::memcpy(&four, at, sizeof four);
    return four;
}

// Pixels [begin, end) made four at a time by four(x), the last four again
// where the count is not a multiple; a run under four pixels from one four
// made at its start (the lines and tables have room past their end).
template <typename MakeFour>
void WriteRun(uint32_t* out, int begin, int end, MakeFour four) {
    if (end - begin < 4) {
        const Four made = four(begin);
        for (int x = begin; x < end; ++x) out[x] = made[x - begin];
        return;
    }
    const auto store = [out](int x, Four made) { std::memcpy(out + x, &made, sizeof made); };
    for (int x = begin; x + 4 <= end; x += 4) store(x, four(x));
    store(end - 4, four(end - 4));
}

// One step of a scaling floor's tick: a line run (`line` true: picture row
// y, visible columns) scaled along x into its working line, or a stored run
// (screen row y, visible columns) blended along y from its lines.
struct ScalingStep {
    bool line;
    int y, begin, end;
};

// What the scaling floor reads: per visible column the weight of its
// second colour (in both halves), per visible row its tap; eight working
// lines, picture row y's in line y % 8, and beside each the two colours
// each of its columns blends, laid out along the visible columns (made
// once from the picture's first rows: the floor counts the arithmetic, not
// gathering the right colours); and each tick's steps in screen-row order,
// each line run (the columns the tick's stored pixels read of its row,
// joined) just before the first stored run that reads it, so all stay in
// the first-level cache as a scaler's lines do.
constexpr int kFloorLines = 8;
struct ScalingFloor {
    int width = 0, pitch = 0;
    std::vector<uint32_t> firsts, seconds, weights, lines;
    std::vector<FitTap> rows;
    std::vector<std::vector<ScalingStep>> steps;
    Rect visible{};
    size_t linePixels = 0;
};

std::vector<PixelRun> JoinRuns(std::vector<PixelRun> runs) {
    std::sort(runs.begin(), runs.end(),
              [](const PixelRun& a, const PixelRun& b) { return a.y != b.y ? a.y < b.y : a.begin < b.begin; });
    std::vector<PixelRun> joined;
    for (const PixelRun& r : runs) {
        if (!joined.empty() && joined.back().y == r.y && r.begin <= joined.back().end) {
            joined.back().end = std::max(joined.back().end, r.end);
        } else {
            joined.push_back(r);
        }
    }
    return joined;
}

// A tick's steps from its stored runs (screen columns).
std::vector<ScalingStep> PlanScalingSteps(ScalingFloor& f, const std::vector<PixelRun>& stored) {
    std::vector<PixelRun> runs, reads;
    for (const PixelRun& r : stored) runs.push_back({r.y - f.visible.y, r.begin - f.visible.x, r.end - f.visible.x});
    for (const PixelRun& r : runs) {
        const FitTap tap = f.rows[size_t(r.y)];
        reads.push_back({tap.index, r.begin, r.end});
        if (tap.weight) reads.push_back({tap.index + 1, r.begin, r.end});
    }
    const std::vector<PixelRun> lineRuns = JoinRuns(reads);
    std::vector<ScalingStep> steps;
    size_t next = 0;  // the first line run not yet planned
    for (const PixelRun& r : JoinRuns(runs)) {
        const FitTap tap = f.rows[size_t(r.y)];
        for (; next < lineRuns.size() && lineRuns[next].y <= tap.index + (tap.weight > 0); ++next) {
            const PixelRun& l = lineRuns[next];
            steps.push_back({true, l.y, l.begin, l.end});
            f.linePixels += size_t(l.end - l.begin);
        }
        steps.push_back({false, r.y, r.begin, r.end});
    }
    return steps;
}

ScalingFloor PrepareScalingFloor(const ScreenView& view, const FloorRecord& record) {
    const ScreenFit& fit = *view.fit;
    ScalingFloor f;
    f.visible = fit.placement.visible;
    f.width = f.visible.width;
    f.pitch = f.width + 4;  // room for a last four read past a run's end
    for (int y = 0; y < kFloorLines; ++y) {
        for (int x = 0; x < f.pitch; ++x) {
            const FitTap t = fit.columns[std::min(x, f.width - 1)];
            f.firsts.push_back(view.rgbTable[*PixelAddress(view.picture, t.index, y)]);
            f.seconds.push_back(view.rgbTable[*PixelAddress(view.picture, t.weight ? t.index + 1 : t.index, y)]);
            if (y == 0) f.weights.push_back(uint32_t(t.weight) * 0x10001u);
        }
    }
    f.rows.assign(fit.rows, fit.rows + f.visible.height);
    f.lines.assign(size_t(kFloorLines) * size_t(f.pitch), 0);
    for (const FloorTick& t : record.ticks) f.steps.push_back(PlanScalingSteps(f, t.stored));
    return f;
}

void ScaleSteps(ScalingFloor& f, const std::vector<ScalingStep>& steps, uint32_t* screen, int screenWidth) {
    const auto slot = [&f](std::vector<uint32_t>& v, int pictureRow) {
        return v.data() + size_t(pictureRow % kFloorLines) * f.pitch;
    };
    const auto line = [&](int pictureRow) { return slot(f.lines, pictureRow); };
    for (const ScalingStep& s : steps) {
        if (s.line) {
            const uint32_t *firsts = slot(f.firsts, s.y), *seconds = slot(f.seconds, s.y), *weights = f.weights.data();
            WriteRun(line(s.y), s.begin, s.end, [&](int x) {
                return BlendFour(LoadFour(firsts + x), LoadFour(seconds + x), LoadFour(weights + x));
            });
            continue;
        }
        const FitTap tap = f.rows[size_t(s.y)];
        const uint32_t *upper = line(tap.index), *lower = line(tap.weight ? tap.index + 1 : tap.index);
        uint32_t* out = screen + size_t(f.visible.y + s.y) * size_t(screenWidth) + f.visible.x;
        if (tap.weight == 0) {
            WriteRun(out, s.begin, s.end, [&](int x) { return LoadFour(upper + x); });
            continue;
        }
        const Four w = Four{} + uint32_t(tap.weight) * 0x10001u;
        WriteRun(out, s.begin, s.end, [&](int x) { return BlendFour(LoadFour(upper + x), LoadFour(lower + x), w); });
    }
}

}  // namespace

void ReplayScalingFloor(benchmark::State& state, const FloorShape& shape, const FloorRecord& record) {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    if (record.ticks.empty() || record.pixelBytes != 4 || !StartFloorScene(shape, &scene, &view) ||
        IsEmpty(view->fit->placement.visible)) {
        state.SkipWithError("the scene or its view did not set up");
        EndFloorScene(&scene, &view);
        return;
    }
    ScalingFloor floor = PrepareScalingFloor(*view, record);
    std::vector<uint32_t> screen(size_t(record.width) * size_t(record.height));
    size_t tick = 0;
    for (auto _ : state) {
        RestartAtRecordEnd(state, shape, record, &scene, &view, &tick);
        ComposeFrame(*scene);
        ScaleSteps(floor, floor.steps[tick], screen.data(), record.width);
        ++tick;
        benchmark::ClobberMemory();
    }
    state.SetLabel(Describe(record) + ", " + std::to_string(floor.linePixels / record.ticks.size()) +
                   " line px scaled");
    EndFloorScene(&scene, &view);
}

bool StartFloorScene(const FloorShape& shape, Scene** scene, ScreenView** view) {
    *scene = SetUpScene({shape.width, shape.height, shape.width, shape.bits, &kTrueColour}, kDefaultSettings, 20261207)
                 .scene;
    *view = nullptr;
    if (*scene == nullptr) return false;
    for (int tick = 0; tick < kFloorWarmUpTicks; ++tick) ComposeFrame(**scene);
    *view = CreateScreenView(*scene, shape.size, shape.width, shape.height);
    if (*view == nullptr) return false;
    const RgbPixels nowhere{nullptr, shape.width, {0, 0, shape.width, shape.height}};
    PresentScreenView(**view, nowhere);
    return true;
}

void EndFloorScene(Scene** scene, ScreenView** view) {
    DestroyScreenView(*view);
    DestroyScene(*scene);
    *view = nullptr;
    *scene = nullptr;
}

template <typename Pixel>
void TakeStoredRuns(const Poisoned<Pixel>& a, const Poisoned<Pixel>& b, Rect r, std::vector<PixelRun>* runs) {
    const auto row = [r](const Poisoned<Pixel>& s, int y) {
        return s.surface.pixels + int64_t{y - s.surface.area.y} * s.surface.pitch - s.surface.area.x;
    };
    for (int y = r.y; y < r.y + r.height; ++y) {
        Pixel *rowA = row(a, y), *rowB = row(b, y);
        const auto stored = [&](int x) { return rowA[x] != a.poison || rowB[x] != b.poison; };
        for (int x = r.x; x < r.x + r.width;) {
            if (!stored(x)) {
                ++x;
                continue;
            }
            const int begin = x;
            for (; x < r.x + r.width && stored(x); ++x) {
                rowA[x] = a.poison;
                rowB[x] = b.poison;
            }
            runs->push_back({y, begin, x});
        }
    }
}
template void TakeStoredRuns(const Poisoned<uint8_t>&, const Poisoned<uint8_t>&, Rect, std::vector<PixelRun>*);
template void TakeStoredRuns(const Poisoned<uint32_t>&, const Poisoned<uint32_t>&, Rect, std::vector<PixelRun>*);

template <typename Pixel>
void StoreRuns(const std::vector<PixelRun>& runs, Pixel value, Pixel* to, int width) {
    for (const PixelRun& run : runs) {
        Pixel* row = to + size_t(run.y) * size_t(width);
        std::fill(row + run.begin, row + run.end, value);
    }
}
template void StoreRuns(const std::vector<PixelRun>&, uint8_t, uint8_t*, int);
template void StoreRuns(const std::vector<PixelRun>&, uint32_t, uint32_t*, int);

void AddComparedRects(const ScreenView& view, std::vector<Rect>* rects) {
    const Scene& scene = *view.scene;
    Rect parts[kMaxViewChanges];
    const int count = FrameChangedRects(scene, parts, kMaxViewChanges);
    const Rect picture{0, 0, ImageWidth(view.picture), ImageHeight(view.picture)};
    for (int i = 0; i < count; ++i) {
        const Rect r = Intersect(Offset(parts[i], scene.frameOrigin), picture);
        if (r.width > 0 && r.height > 0) rects->push_back(r);
    }
}

template <typename Pixel>
FloorRecord RecordScreenTicks(const FloorShape& shape, void (*prepare)(ScreenView&)) {
    Scene* scenes[2] = {};
    ScreenView* views[2] = {};
    FloorRecord record{{}, shape.width, shape.height, int(sizeof(Pixel))};
    const size_t area = size_t(shape.width) * size_t(shape.height);
    std::vector<Pixel> pixels[2] = {std::vector<Pixel>(area, TwinPoison<Pixel>(0)),
                                    std::vector<Pixel>(area, TwinPoison<Pixel>(1))};
    Poisoned<Pixel> twins[2];
    bool ok = true;
    for (int t = 0; t < 2; ++t) {
        ok = StartFloorScene(shape, &scenes[t], &views[t]) && ok;
        twins[t] = {{pixels[t].data(), shape.width, {0, 0, shape.width, shape.height}}, TwinPoison<Pixel>(t)};
        if (ok && prepare != nullptr) prepare(*views[t]);
    }
    if (ok) {
        record.ticks = RecordFloorTicks(*views[0], [&](FloorTick* t) {
            for (int i = 0; i < 2; ++i) TickScreenView(*views[i], twins[i].surface);
            for (int k = 0; k < views[0]->changedCount; ++k) {
                TakeStoredRuns(twins[0], twins[1], views[0]->changed[k], &t->stored);
            }
        });
    }
    for (int t = 0; t < 2; ++t) EndFloorScene(&scenes[t], &views[t]);
    return record;
}
template FloorRecord RecordScreenTicks<uint8_t>(const FloorShape&, void (*)(ScreenView&));
template FloorRecord RecordScreenTicks<uint32_t>(const FloorShape&, void (*)(ScreenView&));

FloorRecord RecordAdvanceTicks(const FloorShape& shape) {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    FloorRecord record{{}, 0, 0, 1};
    if (StartFloorScene(shape, &scene, &view)) {
        record.width = ImageWidth(view->picture);
        record.height = ImageHeight(view->picture);
        view->keepsWritten = 1;
        // The advance keeps no spans, so the same tick runs as a present
        // does, which pastes the same spans and keeps them; its screen
        // pixels go to a throwaway target.
        std::vector<uint8_t> screen(size_t(shape.width) * shape.height);
        const IndexPixels target{screen.data(), shape.width, {0, 0, shape.width, shape.height}};
        bool known = true;
        record.ticks = RecordFloorTicks(*view, [&](FloorTick* t) {
            TickScreenView(*view, target);
            known = known && view->writtenKnown;
            if (view->writtenKnown) AddPastedRuns(*view, &t->stored);
        });
        if (!known) record.ticks.clear();  // a tick's pasted spans went unrecorded
    }
    EndFloorScene(&scene, &view);
    return record;
}

void ReplayFloor(benchmark::State& state, const FloorShape& shape, const FloorRecord& record, bool compare) {
    if (record.pixelBytes == 1) {
        Replay<uint8_t>(state, shape, record, compare);
    } else {
        Replay<uint32_t>(state, shape, record, compare);
    }
}
