// Placement of the picture on the screen, the per-axis taps, and the scaling
// of a changed picture rectangle into screen pixels.
#include "image/screen_fit.h"

#include <algorithm>
#include <cstdlib>

#include "image/palette.h"

namespace {

int SideIsUsable(int64_t side, int64_t limit) { return side > 0 && side <= limit; }

int64_t GreatestCommonDivisor(int64_t a, int64_t b) {
    while (b != 0) {
        const int64_t rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// Output pixels [first, end) along one axis, `length` long, whose footprint
// reaches picture pixels [from, to) of a side `side` long: with the
// footprint of output pixel i being [i side, (i + 1) side) in units of
// 1/length picture pixel, the first that ends past from and the last that
// starts before to.
struct Reach {
    int64_t first, end;
};
Reach ReachOf(int64_t from, int64_t to, int64_t side, int64_t length) {
    return Reach{from * length / side, (to * length + side - 1) / side};
}

// The longest output side up to `length` along which the kept part
// [from, to) of the picture side `side` reaches at most `screen` pixels.
int64_t LengthKeeping(int64_t length, int64_t side, int64_t from, int64_t to, int64_t screen) {
    if (to <= from) return length;
    const auto span = [&](int64_t l) {
        const Reach r = ReachOf(from, to, side, l);
        return r.end - r.first;
    };
    if (span(length) <= screen) return length;
    // From the length at which the exact span is the screen: the rounding
    // of the reach's ends adds at most two pixels, a few lengths' worth.
    int64_t l = std::max<int64_t>(1, std::min(length, screen * side / (to - from)));
    while (l > 1 && span(l) > screen) --l;
    return l;
}

// The scaled size: the whole multiple k, or for fit the limiting side's
// ratio applied to both sides, the other side rounded to the nearest pixel.
// Cover takes the other side's ratio, so the rounded side reaches past the
// screen (never short of it, as it rounds a length at least the screen's).
// Cover's rounded side is then cut to `keep` (below).
void ScaledSize(PicturePlacement& p, Rect keep) {
    const int64_t w = p.pictureWidth, h = p.pictureHeight;
    const int64_t W = p.screenWidth, H = p.screenHeight;
    int64_t numerator = 1, denominator = 1, outW = w, outH = h;
    if (p.size == kPictureWholeMultiples) {
        numerator = std::max<int64_t>(1, std::min(W / w, H / h));
        outW = w * numerator;
        outH = h * numerator;
    } else if (p.size == kPictureFit) {
        // W / w <= H / h: the width limits.
        if (W * h <= H * w) {
            numerator = W, denominator = w, outW = W;
            outH = std::min(H, (h * W + w / 2) / w);
        } else {
            numerator = H, denominator = h, outH = H;
            outW = std::min(W, (w * H + h / 2) / h);
        }
        outW = std::max<int64_t>(outW, 1);
        outH = std::max<int64_t>(outH, 1);
    } else if (p.size == kPictureCover) {
        // W / w >= H / h: the width is the screen's, the height cropped. A
        // screen of the picture's shape takes this side as fit does, so the
        // two give the same pixels there.
        if (W * h >= H * w) {
            numerator = W, denominator = w, outW = W, outH = (h * W + w / 2) / w;
            // The strip, the part of the picture the figures move in, must
            // not be cropped: on a screen so wide that the strip's rows
            // would reach past it, the picture is made smaller until they
            // fit, and black bands show beside it rather than figures cut.
            const int64_t kept = LengthKeeping(outH, h, keep.y, int64_t{keep.y} + keep.height, H);
            if (kept < outH) numerator = kept, denominator = h, outH = kept, outW = std::min(W, (w * kept + h / 2) / h);
        } else {
            numerator = H, denominator = h, outH = H, outW = (w * H + h / 2) / h;
            const int64_t kept = LengthKeeping(outW, w, keep.x, int64_t{keep.x} + keep.width, W);
            if (kept < outW) numerator = kept, denominator = w, outW = kept, outH = std::min(H, (h * kept + w / 2) / w);
        }
        outW = std::max<int64_t>(outW, 1);
        outH = std::max<int64_t>(outH, 1);
    }
    const int64_t divisor = GreatestCommonDivisor(numerator, denominator);
    p.factorNumerator = int(numerator / divisor);
    p.factorDenominator = int(denominator / divisor);
    // Truncated halves of the margins, as the centred picture has always had.
    p.output = Rect{int((W - outW) / 2), int((H - outH) / 2), int(outW), int(outH)};
}

// Cover crops one side equally at both ends, unless that would cut into
// `keep` (the moving strip): a very wide screen would crop the bottom of
// the strip, a tall one its right end. The crop is then shifted, as little
// as it takes, so that every output pixel reading the strip is on the
// screen; ScaledSize made the output small enough for that.
int ShiftedOffset(int offset, int64_t from, int64_t to, int64_t side, int64_t length, int64_t screen) {
    if (to <= from || length <= screen) return offset;
    const Reach r = ReachOf(from, to, side, length);
    // The offsets from the one putting the reach's first pixel on the
    // screen's first to the one putting its end at the screen's end; where
    // even the smallest output could not hold it, its start is kept.
    return int(std::clamp<int64_t>(offset, -r.first, std::max(screen - r.end, -r.first)));
}

// `keep` is cut to the picture.
void KeepWhole(PicturePlacement& p, Rect keep) {
    if (p.size != kPictureCover || IsEmpty(keep)) return;
    Rect& o = p.output;
    o.x = ShiftedOffset(o.x, keep.x, int64_t{keep.x} + keep.width, p.pictureWidth, o.width, p.screenWidth);
    o.y = ShiftedOffset(o.y, keep.y, int64_t{keep.y} + keep.height, p.pictureHeight, o.height, p.screenHeight);
}

// Tap of output pixel i of `length` over a picture side of `side` pixels. In
// units of 1/length picture pixel the footprint is [i side, (i + 1) side).
// Shrinking takes the pixel under the footprint's centre, unblended.
FitTap TapFor(int64_t i, int64_t side, int64_t length) {
    const int64_t start = i * side, end = start + side;
    if (length < side) return FitTap{int32_t(std::min((2 * start + side) / (2 * length), side - 1)), 0};
    const int64_t index = start / length, edge = (index + 1) * length;
    if (end <= edge) return FitTap{int32_t(index), 0};
    // The neighbour's share, rounded; but on the same side of a half as the
    // exact share, so that the nearest pixel (index + 1 from 128 on) is the
    // one under the footprint's centre.
    const int64_t share = end - edge;
    int64_t weight = (share * kWeightOne + side / 2) / side;
    weight =
        2 * share < side ? std::min<int64_t>(weight, kWeightOne / 2 - 1) : std::max<int64_t>(weight, kWeightOne / 2);
    if (weight >= kWeightOne) return FitTap{int32_t(index + 1), 0};
    return FitTap{int32_t(index), int32_t(weight)};
}

void FillTaps(FitTap* taps, int first, int count, int side, int length) {
    for (int i = 0; i < count; ++i) taps[i] = TapFor(int64_t{first} + i, side, length);
}

// Along one axis, the taps [begin, end) that read any picture pixel of
// [from, to): taps are ordered, and tap t reads index and, when weighted,
// index + 1.
void TouchedTaps(const FitTap* taps, int count, int from, int to, int* begin, int* end) {
    const FitTap* last = taps + count;
    *begin = int(std::partition_point(taps, last, [from](const FitTap& t) { return t.index + (t.weight > 0) < from; }) -
                 taps);
    *end = int(std::partition_point(taps, last, [to](const FitTap& t) { return t.index < to; }) - taps);
}

// Runs of visible columns with one tap, and the run of each column; their
// count.
int BuildRuns(ScreenFit* fit) {
    const int count = fit->placement.visible.width;
    int runs = 0;
    for (int x = 0; x < count; ++x) {
        const FitTap t = fit->columns[x];
        if (x == 0 || t.index != fit->columns[x - 1].index || t.weight != fit->columns[x - 1].weight) {
            fit->runs[runs++] = FitRun{t.index, t.weight ? t.index + 1 : t.index, t.weight, x, x};
        }
        fit->runs[runs - 1].end = x + 1;
        fit->runOfColumn[x] = runs - 1;
    }
    return runs;
}

// The picture columns' layout from the runs, where every column from the
// first visible one to the last has one run of its own of at most 4
// columns, or none, and at most one blend column after it, each column
// starting where the one before ended; 0 when that does not hold (a
// column may have no run of its own when a footprint's share of the next
// column rounds to all of it).
int BuildColumns(ScreenFit* fit, int runCount) {
    FitColumn* columns = fit->pictureColumns;
    for (int c = 0; c < fit->placement.pictureWidth; ++c) columns[c] = FitColumn{kOffScreen, 0, 0};
    for (int i = 0; i < runCount; ++i) {
        const FitRun& r = fit->runs[i];
        FitColumn& c = columns[r.index];
        if (r.weight == 0) {
            if (c.start != kOffScreen || r.end - r.begin > 4) return 0;
            c = FitColumn{r.begin, r.end - r.begin, 0};
        } else {
            if (c.blend > 0 || r.end - r.begin > 1) return 0;
            if (c.start == kOffScreen) c.start = r.begin;
            c.blend = r.weight;
        }
    }
    for (int c = 0; c < fit->placement.pictureWidth; ++c) {
        fit->columnWeights[c] = uint32_t(columns[c].blend) | uint32_t(columns[c].blend) << 16;
    }
    const int first = fit->runs[0].index, last = fit->runs[runCount - 1].index;
    for (int c = first; c <= last; ++c) {
        const FitColumn k = columns[c];
        if (k.start == kOffScreen) return 0;
        if (c < last && columns[c + 1].start != k.start + k.pure + (k.blend > 0)) return 0;
    }
    return 1;
}

// For each picture column (or row), the taps that read it: for a range of
// them, from the first one's begin to the last one's end.
void BuildReach(const FitTap* taps, int count, int side, FitReach* reach) {
    for (int c = 0; c < side; ++c) TouchedTaps(taps, count, c, c + 1, &reach[c].begin, &reach[c].end);
}

// Lanes for the 16 visible columns from each one; 0 when some column's
// nearest lies outside the 16 read for it (shrunk, or a picture narrower
// than 16).
int BuildShuffles(const ScreenFit* fit) {
    const int width = fit->placement.visible.width, side = fit->placement.pictureWidth;
    if (side < 16) return 0;
    for (int x = 0; x < width; ++x) {
        FitShuffle& s = fit->shuffles[x];
        s.from = std::min(fit->nearestColumns[x], side - 16);
        for (int i = 0; i < 16; ++i) {
            const int32_t lane = fit->nearestColumns[std::min(x + i, width - 1)] - s.from;
            if (lane < 0 || lane > 15) return 0;
            s.lanes[i] = uint8_t(lane);
        }
    }
    return 1;
}

bool ShufflesBytes() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("ssse3");
#else
    return false;
#endif
}

// The nearest columns, and where they can be read 16 at a time, their
// shuffles (left null when they cannot, or memory runs out: the columns
// are then read one at a time).
void BuildNearest(const ScreenFit* fit) {
    const int width = fit->placement.visible.width;
    for (int x = 0; x < width; ++x) {
        fit->nearestColumns[x] = fit->columns[x].index + (fit->columns[x].weight >= kWeightOne / 2);
    }
    if (fit->placement.output.width < fit->placement.pictureWidth || !ShufflesBytes()) return;
    fit->shuffles = static_cast<FitShuffle*>(calloc(size_t(width), sizeof(FitShuffle)));
    if (fit->shuffles && !BuildShuffles(fit)) {
        free(fit->shuffles);
        fit->shuffles = nullptr;
    }
}

}  // namespace

PicturePlacement PlacePicture(PictureSize size, int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                              Rect keep) {
    PicturePlacement p{};
    p.size = size;
    p.pictureWidth = pictureWidth;
    p.pictureHeight = pictureHeight;
    p.screenWidth = screenWidth;
    p.screenHeight = screenHeight;
    p.factorNumerator = p.factorDenominator = 1;
    if (size < kPictureCentred || size >= kPictureSizeCount) return p;
    if (!ImageSizeIsSane(pictureWidth, pictureHeight)) return p;
    if (!SideIsUsable(screenWidth, kMaxScreenSide) || !SideIsUsable(screenHeight, kMaxScreenSide)) return p;
    const Rect kept = ClipTo(keep, pictureWidth, pictureHeight);
    ScaledSize(p, kept);
    KeepWhole(p, kept);
    p.visible = ClipTo(p.output, screenWidth, screenHeight);
    return p;
}

ScreenFit* CreateScreenFit(PictureSize size, int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                           Rect keep) {
    ScreenFit* fit = static_cast<ScreenFit*>(calloc(1, sizeof(ScreenFit)));
    if (!fit) return nullptr;
    const PicturePlacement placement = PlacePicture(size, pictureWidth, pictureHeight, screenWidth, screenHeight, keep);
    fit->placement = placement;
    const Rect& out = placement.output;
    const Rect& visible = placement.visible;
    if (IsEmpty(visible)) return fit;
    fit->columns = static_cast<FitTap*>(calloc(size_t(visible.width), sizeof(FitTap)));
    fit->rows = static_cast<FitTap*>(calloc(size_t(visible.height), sizeof(FitTap)));
    fit->runs = static_cast<FitRun*>(calloc(size_t(visible.width), sizeof(FitRun)));
    fit->runOfColumn = static_cast<int32_t*>(calloc(size_t(visible.width), sizeof(int32_t)));
    fit->columnReach = static_cast<FitReach*>(calloc(size_t(pictureWidth), sizeof(FitReach)));
    fit->rowReach = static_cast<FitReach*>(calloc(size_t(pictureHeight), sizeof(FitReach)));
    fit->lines = static_cast<uint32_t*>(calloc(2 * (size_t(visible.width) + kLinePadding), sizeof(uint32_t)));
    if (!fit->columns || !fit->rows || !fit->runs || !fit->runOfColumn || !fit->columnReach || !fit->rowReach ||
        !fit->lines) {
        DestroyScreenFit(fit);
        return nullptr;
    }
    FillTaps(fit->columns, visible.x - out.x, visible.width, placement.pictureWidth, out.width);
    FillTaps(fit->rows, visible.y - out.y, visible.height, placement.pictureHeight, out.height);
    const int runs = BuildRuns(fit);
    if (out.width >= placement.pictureWidth) {
        fit->pictureColumns = static_cast<FitColumn*>(calloc(size_t(pictureWidth), sizeof(FitColumn)));
        fit->columnWeights = static_cast<uint32_t*>(calloc(size_t(pictureWidth), sizeof(uint32_t)));
        if (!fit->pictureColumns || !fit->columnWeights || !BuildColumns(fit, runs)) {
            free(fit->pictureColumns);
            free(fit->columnWeights);
            fit->pictureColumns = nullptr;
            fit->columnWeights = nullptr;
        }
    }
    BuildReach(fit->columns, visible.width, pictureWidth, fit->columnReach);
    BuildReach(fit->rows, visible.height, pictureHeight, fit->rowReach);
    return fit;
}

void DestroyScreenFit(ScreenFit* fit) {
    if (!fit) return;
    free(fit->columns);
    free(fit->rows);
    free(fit->runs);
    free(fit->runOfColumn);
    free(fit->pictureColumns);
    free(fit->columnWeights);
    free(fit->columnReach);
    free(fit->rowReach);
    free(fit->lines);
    free(fit->nearestColumns);
    free(fit->shuffles);
    free(fit);
}

int PreparePaletteColumns(const ScreenFit* fit) {
    if (!fit || !fit->columns) return 0;
    if (fit->nearestColumns) return 1;
    fit->nearestColumns = static_cast<int32_t*>(calloc(size_t(fit->placement.visible.width), sizeof(int32_t)));
    if (!fit->nearestColumns) return 0;
    BuildNearest(fit);
    return 1;
}

Rect ScreenRectOf(const ScreenFit* fit, Rect source) {
    if (!fit || IsEmpty(fit->placement.visible)) return Rect{0, 0, 0, 0};
    const PicturePlacement& p = fit->placement;
    const Rect s = ClipTo(source, p.pictureWidth, p.pictureHeight);
    if (IsEmpty(s)) return Rect{0, 0, 0, 0};
    const int x0 = fit->columnReach[s.x].begin, x1 = fit->columnReach[s.x + s.width - 1].end;
    const int y0 = fit->rowReach[s.y].begin, y1 = fit->rowReach[s.y + s.height - 1].end;
    if (x1 <= x0 || y1 <= y0) return Rect{0, 0, 0, 0};
    return Rect{p.visible.x + x0, p.visible.y + y0, x1 - x0, y1 - y0};
}

void BuildRgbTable(const PaletteEntry* entries, uint32_t table[kColorCount]) {
    for (int i = 0; i < kColorCount; ++i) {
        const PaletteEntry& e = entries[i];
        table[i] = uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    }
}

int HasWholeBlocks(const PicturePlacement& p) {
    if (p.factorDenominator != 1) return 0;
    const Rect screen{0, 0, p.screenWidth, p.screenHeight};
    const Rect& o = p.output;
    return p.factorNumerator == 1 ||
           (Contains(screen, o.x, o.y) && Contains(screen, o.x + o.width - 1, o.y + o.height - 1));
}

int WholeFactorRects(const ScreenFit* fit, Rect source, Rect* from, Rect* to) {
    if (!fit || !from || !to || !HasWholeBlocks(fit->placement)) return 0;
    const Rect screen = ScreenRectOf(fit, source);
    if (IsEmpty(screen)) return 0;
    // Blocks of k x k: a picture rectangle reaches whole blocks, and none is
    // cut by the screen's edge.
    const PicturePlacement& p = fit->placement;
    const int k = p.factorNumerator;
    *to = screen;
    *from = Rect{(screen.x - p.output.x) / k, (screen.y - p.output.y) / k, screen.width / k, screen.height / k};
    return 1;
}
