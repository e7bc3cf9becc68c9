// Placement of the picture on the screen, the per-axis taps, and the scaling
// of a changed picture rectangle into screen pixels.
#include "image/screen_fit.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "image/palette.h"

namespace {

constexpr int kWeightOne = 256;

int SideIsUsable(int64_t side, int64_t limit) { return side > 0 && side <= limit; }

int64_t GreatestCommonDivisor(int64_t a, int64_t b)
{
    while (b != 0) {
        const int64_t rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

FitRect Intersect(FitRect a, FitRect b)
{
    const int64_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const int64_t right = std::min(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    const int64_t bottom = std::min(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    if (right <= left || bottom <= top) return FitRect{0, 0, 0, 0};
    return FitRect{int(left), int(top), int(right - left), int(bottom - top)};
}

int IsEmpty(FitRect r) { return r.width <= 0 || r.height <= 0; }

FitRect ClipToArea(FitRect r, int width, int height) { return Intersect(r, FitRect{0, 0, width, height}); }

// The scaled size: the whole multiple k, or for fill the limiting side's
// ratio applied to both sides, the other side rounded to the nearest pixel.
void ScaledSize(PicturePlacement& p)
{
    const int64_t w = p.pictureWidth, h = p.pictureHeight;
    const int64_t W = p.screenWidth, H = p.screenHeight;
    int64_t numerator = 1, denominator = 1, outW = w, outH = h;
    if (p.size == kPictureWholeMultiples) {
        numerator = std::max<int64_t>(1, std::min(W / w, H / h));
        outW = w * numerator;
        outH = h * numerator;
    } else if (p.size == kPictureFill) {
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
    }
    const int64_t divisor = GreatestCommonDivisor(numerator, denominator);
    p.factorNumerator = int(numerator / divisor);
    p.factorDenominator = int(denominator / divisor);
    // Truncated halves of the margins, as the centred picture has always had.
    p.output = FitRect{int((W - outW) / 2), int((H - outH) / 2), int(outW), int(outH)};
}

// Tap of output pixel i of `length` over a picture side of `side` pixels. In
// units of 1/length picture pixel the footprint is [i side, (i + 1) side).
// Shrinking takes the pixel under the footprint's centre, unblended.
FitTap TapFor(int64_t i, int64_t side, int64_t length)
{
    const int64_t start = i * side, end = start + side;
    if (length < side) return FitTap{int32_t(std::min((2 * start + side) / (2 * length), side - 1)), 0};
    const int64_t index = start / length, edge = (index + 1) * length;
    if (end <= edge) return FitTap{int32_t(index), 0};
    // The neighbour's share, rounded; but on the same side of a half as the
    // exact share, so that the nearest pixel (index + 1 from 128 on) is the
    // one under the footprint's centre.
    const int64_t share = end - edge;
    int64_t weight = (share * kWeightOne + side / 2) / side;
    weight = 2 * share < side ? std::min<int64_t>(weight, kWeightOne / 2 - 1)
                              : std::max<int64_t>(weight, kWeightOne / 2);
    if (weight >= kWeightOne) return FitTap{int32_t(index + 1), 0};
    return FitTap{int32_t(index), int32_t(weight)};
}

void FillTaps(FitTap* taps, int first, int count, int side, int length)
{
    for (int i = 0; i < count; ++i) taps[i] = TapFor(int64_t{first} + i, side, length);
}

// Along one axis, the taps [begin, end) that read any picture pixel of
// [from, to): taps are ordered, and tap t reads index and, when weighted,
// index + 1.
void TouchedTaps(const FitTap* taps, int count, int from, int to, int* begin, int* end)
{
    const FitTap* last = taps + count;
    *begin = int(std::partition_point(taps, last, [from](const FitTap& t) {
                     return t.index + (t.weight > 0) < from;
                 }) - taps);
    *end = int(std::partition_point(taps, last, [to](const FitTap& t) { return t.index < to; }) - taps);
}

// Per channel (a (256 - w) + b w + 128) / 256 on 0x00RRGGBB.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w)
{
    const uint32_t v = kWeightOne - w;
    const uint32_t redBlue = ((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w + 0x800080u) >> 8;
    const uint32_t green = ((a & 0x00FF00u) * v + (b & 0x00FF00u) * w + 0x008000u) >> 8;
    return (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

// Each picture pixel blended along x with its neighbour by the column's tap.
void ScaleRowRgb(const uint8_t* row, const FitTap* taps, int count, const uint32_t* table, uint32_t* out)
{
    for (int i = 0; i < count; ++i) {
        const FitTap t = taps[i];
        const uint32_t colour = table[row[t.index]];
        out[i] = t.weight ? Blend(colour, table[row[t.index + 1]], uint32_t(t.weight)) : colour;
    }
}

// Two picture rows scaled along x, kept while the screen rows walk down: a
// magnified picture row serves the screen rows of its block and the blends
// on both its edges, and is scaled once.
struct ScaledRows {
    const Image* picture;
    const FitTap* columns;
    int count;
    const uint32_t* table;
    uint32_t* rows[2];
    int32_t index[2];
};

const uint32_t* ScaledRow(ScaledRows& cache, int32_t index)
{
    if (cache.index[0] == index) return cache.rows[0];
    if (cache.index[1] == index) return cache.rows[1];
    // Rows come in increasing order: the lower one is not needed again.
    const int slot = cache.index[0] < cache.index[1] ? 0 : 1;
    ScaleRowRgb(PixelAddress(cache.picture, 0, index), cache.columns, cache.count, cache.table, cache.rows[slot]);
    cache.index[slot] = index;
    return cache.rows[slot];
}

inline int32_t NearestIndex(const FitTap& t) { return t.index + (t.weight >= kWeightOne / 2); }

void ScaleRowIndexed(const uint8_t* row, const FitTap* taps, int count, uint8_t* out)
{
    for (int i = 0; i < count; ++i) out[i] = row[NearestIndex(taps[i])];
}

// The screen rectangle to write, as tap ranges: [x0, x1) of the columns and
// [y0, y1) of the rows. 0 when nothing is to be written or an argument is
// unusable.
struct TapSpan {
    int x0, x1, y0, y1;
};

int SpanToWrite(const ScreenFit* fit, const Image* picture, FitRect source, const void* pixels, int pitch,
                FitRect area, TapSpan* span)
{
    if (!fit || !picture || !picture->header || !picture->pixels || !pixels) return 0;
    if (IsEmpty(area) || pitch < area.width) return 0;
    const PicturePlacement& p = fit->placement;
    if (ImageWidth(picture) != p.pictureWidth || ImageHeight(picture) != p.pictureHeight) return 0;
    const FitRect screen = Intersect(ScreenRectOf(fit, source), area);
    if (IsEmpty(screen)) return 0;
    *span = TapSpan{screen.x - p.visible.x, screen.x - p.visible.x + screen.width,
                    screen.y - p.visible.y, screen.y - p.visible.y + screen.height};
    return 1;
}

// Walks the screen rows of the span: a row whose tap repeats the one above
// (most rows of a magnified picture) is a copy of it, any other is written
// by `writeRow` from its first pixel.
template <typename Pixel, typename SameAsAbove, typename WriteRow>
void WriteRows(const ScreenFit* fit, const TapSpan& s, Pixel* pixels, int pitch, FitRect area,
               SameAsAbove sameAsAbove, WriteRow writeRow)
{
    const PicturePlacement& p = fit->placement;
    const size_t rowBytes = size_t(s.x1 - s.x0) * sizeof(Pixel);
    const int64_t left = int64_t{p.visible.x} + s.x0 - area.x;
    const int64_t top = int64_t{p.visible.y} - area.y;
    const Pixel* previous = nullptr;
    for (int y = s.y0; y < s.y1; ++y) {
        Pixel* out = pixels + (top + y) * pitch + left;
        if (previous && sameAsAbove(y)) {
            std::memcpy(out, previous, rowBytes);
        } else {
            writeRow(y, out);
        }
        previous = out;
    }
}

inline bool SameTap(const FitTap& a, const FitTap& b) { return a.index == b.index && a.weight == b.weight; }

}  // namespace

PicturePlacement PlacePicture(PictureSize size, int pictureWidth, int pictureHeight,
                              int screenWidth, int screenHeight)
{
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
    ScaledSize(p);
    p.visible = ClipToArea(p.output, screenWidth, screenHeight);
    return p;
}

ScreenFit* CreateScreenFit(PictureSize size, int pictureWidth, int pictureHeight, int screenWidth,
                           int screenHeight)
{
    ScreenFit* fit = static_cast<ScreenFit*>(calloc(1, sizeof(ScreenFit)));
    if (!fit) return nullptr;
    const PicturePlacement placement = PlacePicture(size, pictureWidth, pictureHeight, screenWidth, screenHeight);
    fit->placement = placement;
    const FitRect& out = placement.output;
    const FitRect& visible = placement.visible;
    if (IsEmpty(visible)) return fit;
    fit->columns = static_cast<FitTap*>(calloc(size_t(visible.width), sizeof(FitTap)));
    fit->rows = static_cast<FitTap*>(calloc(size_t(visible.height), sizeof(FitTap)));
    fit->rowScratch = static_cast<uint32_t*>(calloc(2 * size_t(visible.width), sizeof(uint32_t)));
    if (!fit->columns || !fit->rows || !fit->rowScratch) {
        DestroyScreenFit(fit);
        return nullptr;
    }
    FillTaps(fit->columns, visible.x - out.x, visible.width, placement.pictureWidth, out.width);
    FillTaps(fit->rows, visible.y - out.y, visible.height, placement.pictureHeight, out.height);
    return fit;
}

void DestroyScreenFit(ScreenFit* fit)
{
    if (!fit) return;
    free(fit->columns);
    free(fit->rows);
    free(fit->rowScratch);
    free(fit);
}

FitRect ScreenRectOf(const ScreenFit* fit, FitRect source)
{
    if (!fit || IsEmpty(fit->placement.visible)) return FitRect{0, 0, 0, 0};
    const PicturePlacement& p = fit->placement;
    const FitRect s = ClipToArea(source, p.pictureWidth, p.pictureHeight);
    if (IsEmpty(s)) return FitRect{0, 0, 0, 0};
    int x0, x1, y0, y1;
    TouchedTaps(fit->columns, p.visible.width, s.x, s.x + s.width, &x0, &x1);
    TouchedTaps(fit->rows, p.visible.height, s.y, s.y + s.height, &y0, &y1);
    if (x1 <= x0 || y1 <= y0) return FitRect{0, 0, 0, 0};
    return FitRect{p.visible.x + x0, p.visible.y + y0, x1 - x0, y1 - y0};
}

void BuildRgbTable(const PaletteEntry* entries, uint32_t table[kColorCount])
{
    for (int i = 0; i < kColorCount; ++i) {
        const PaletteEntry& e = entries[i];
        table[i] = uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
    }
}

int ScalePictureRect(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount],
                     FitRect source, const RgbPixels& target)
{
    TapSpan s;
    if (!table || !SpanToWrite(fit, picture, source, target.pixels, target.pitch, target.area, &s)) return 0;
    const FitTap* columns = fit->columns + s.x0;
    const int count = s.x1 - s.x0;
    ScaledRows cache{picture, columns, count, table, {fit->rowScratch, fit->rowScratch + count}, {-1, -1}};
    WriteRows(fit, s, target.pixels, target.pitch, target.area,
              [fit](int y) { return SameTap(fit->rows[y], fit->rows[y - 1]); },
              [&](int y, uint32_t* out) {
                  const FitTap row = fit->rows[y];
                  const uint32_t* upper = ScaledRow(cache, row.index);
                  if (row.weight == 0) {
                      std::memcpy(out, upper, size_t(count) * sizeof *out);
                      return;
                  }
                  const uint32_t* lower = ScaledRow(cache, row.index + 1);
                  for (int i = 0; i < count; ++i) out[i] = Blend(upper[i], lower[i], uint32_t(row.weight));
              });
    return 1;
}

int ScalePictureRectIndexed(const ScreenFit* fit, const Image* picture, FitRect source,
                            const IndexPixels& target)
{
    TapSpan s;
    if (!SpanToWrite(fit, picture, source, target.pixels, target.pitch, target.area, &s)) return 0;
    const FitTap* columns = fit->columns + s.x0;
    const int count = s.x1 - s.x0;
    WriteRows(fit, s, target.pixels, target.pitch, target.area,
              [fit](int y) { return NearestIndex(fit->rows[y]) == NearestIndex(fit->rows[y - 1]); },
              [&](int y, uint8_t* out) {
                  ScaleRowIndexed(PixelAddress(picture, 0, NearestIndex(fit->rows[y])), columns, count, out);
              });
    return 1;
}

int WholeFactorRects(const ScreenFit* fit, FitRect source, FitRect* from, FitRect* to)
{
    if (!fit || !from || !to || fit->placement.factorDenominator != 1) return 0;
    const FitRect screen = ScreenRectOf(fit, source);
    if (IsEmpty(screen)) return 0;
    // Blocks of k x k: a picture rectangle reaches whole blocks, and with
    // k above 1 the output lies wholly on the screen, so no block is cut.
    const PicturePlacement& p = fit->placement;
    const int k = p.factorNumerator;
    *to = screen;
    *from = FitRect{(screen.x - p.output.x) / k, (screen.y - p.output.y) / k, screen.width / k, screen.height / k};
    return 1;
}
