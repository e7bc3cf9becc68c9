// Scaling changed parts of the picture into screen pixels in one pass: each
// screen row is written straight from the one or two 8-bit picture rows it
// reads, a run of columns inside one picture pixel as one colour, and a row
// that reads what the row above read is a copy of it.
#include <algorithm>
#include <cstring>

#include "image/screen_fit.h"

namespace {

constexpr int kWeightOne = 256;

// Per channel (a (256 - w) + b w + 128) / 256 on 0x00RRGGBB; a itself when
// w is 0.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w)
{
    const uint32_t v = kWeightOne - w;
    const uint32_t redBlue = ((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w + 0x800080u) >> 8;
    const uint32_t green = ((a & 0x00FF00u) * v + (b & 0x00FF00u) * w + 0x008000u) >> 8;
    return (redBlue & 0xFF00FFu) | (green & 0x00FF00u);
}

inline int32_t NearestIndex(const FitTap& t) { return t.index + (t.weight >= kWeightOne / 2); }

// Visible columns [begin, end) of one screen row.
struct Interval {
    int begin, end;
};
constexpr int kMaxRowIntervals = 2 * kMaxRowSpans;

bool operator==(const Interval& a, const Interval& b) { return a.begin == b.begin && a.end == b.end; }

// The visible columns reading a row's spans, in order (spans are cut to the
// picture; those read by no visible column are left out).
int MapSpans(const ScreenFit& fit, const RowSpans* row, Interval* out)
{
    if (!row) return 0;
    int n = 0;
    for (int k = 0; k < std::clamp(row->count, 0, kMaxRowSpans); ++k) {
        const int begin = std::max(row->spans[k].begin, 0);
        const int end = std::min(row->spans[k].end, fit.placement.pictureWidth);
        if (begin >= end) continue;
        const Interval v{fit.columnReach[begin].begin, fit.columnReach[end - 1].end};
        if (v.begin < v.end) out[n++] = v;
    }
    return n;
}

// A picture row's spans as visible columns.
struct MappedRow {
    int32_t index;
    int count;
    Interval at[kMaxRowSpans];
};

// What a screen row must write: the footprints of the spans of the picture
// rows it reads, joined where they meet, cut to the columns [from, to).
int RowIntervals(const MappedRow& upper, const MappedRow* lower, int from, int to, Interval out[kMaxRowIntervals])
{
    const Interval* a = upper.at;
    const Interval* b = lower ? lower->at : nullptr;
    const int na = upper.count, nb = lower ? lower->count : 0;
    int n = 0;
    for (int i = 0, j = 0; i < na || j < nb;) {
        Interval next = j >= nb || (i < na && a[i].begin <= b[j].begin) ? a[i++] : b[j++];
        next.begin = std::max(next.begin, from);
        next.end = std::min(next.end, to);
        if (next.begin >= next.end) continue;
        if (n > 0 && next.begin <= out[n - 1].end) {
            out[n - 1].end = std::max(out[n - 1].end, next.end);
        } else {
            out[n++] = next;
        }
    }
    return n;
}

int Usable(const ScreenFit* fit, const Image* picture, const void* pixels, int pitch, FitRect area)
{
    if (!fit || !fit->columns || !picture || !picture->header || !picture->pixels || !pixels) return 0;
    if (area.width <= 0 || area.height <= 0 || pitch < area.width) return 0;
    return ImageWidth(picture) == fit->placement.pictureWidth && ImageHeight(picture) == fit->placement.pictureHeight;
}

bool SameTap(const FitTap& a, const FitTap& b) { return a.index == b.index && a.weight == b.weight; }

// The intervals both lists cover (each in order, none overlapping).
int Common(const Interval* a, int na, const Interval* b, int nb, Interval* out)
{
    int n = 0;
    for (int i = 0, j = 0; i < na && j < nb;) {
        const int begin = std::max(a[i].begin, b[j].begin), end = std::min(a[i].end, b[j].end);
        if (begin < end) out[n++] = Interval{begin, end};
        if (a[i].end < b[j].end) {
            ++i;
        } else {
            ++j;
        }
    }
    return n;
}

// A screen row to write: its tap and the intervals it writes.
struct RowPlan {
    FitTap tap;
    int count;
    Interval at[kMaxRowIntervals];
};

// Per 16-bit lane: two channels of a pixel, so two pixels' colours blend
// in each half of the register, in exactly Blend's arithmetic.
typedef uint16_t Lanes __attribute__((vector_size(16)));

void BlendRows(const uint32_t* above, const uint32_t* below, uint32_t w, int count, uint32_t* out)
{
    const uint16_t v = uint16_t(kWeightOne - w), u = uint16_t(w);
    int x = 0;
    for (; x + 4 <= count; x += 4) {
        Lanes a, b;
        std::memcpy(&a, above + x, sizeof a);
        std::memcpy(&b, below + x, sizeof b);
        const Lanes blueRed = ((a & 0xFF) * v + (b & 0xFF) * u + 0x80) >> 8;
        const Lanes green = ((a >> 8) * v + (b >> 8) * u + 0x80) & 0xFF00;
        const Lanes blended = blueRed | green;
        std::memcpy(out + x, &blended, sizeof blended);
    }
    for (; x < count; ++x) out[x] = Blend(above[x], below[x], w);
}

// Walks the screen rows reading any picture row of [top, bottom), within
// `area`: each writes the footprints of the spans (spansOf(row), null for
// none) of the rows it reads, by `write`, or copies them from the row above
// when that one read the same source (`sameSource`) over the same columns.
// With kBlendNeighbours, a row blending picture rows i and i + 1 between a
// row of i and a row of i + 1 is blended from those two screen rows where
// both were written: the next row is written first.
template <bool kBlendNeighbours, typename Pixel, typename SpansOf, typename SameSource, typename Write>
void WriteSpanRows(const ScreenFit& fit, int top, int bottom, SpansOf spansOf, Pixel* pixels, int pitch,
                   FitRect area, SameSource sameSource, Write write)
{
    const PicturePlacement& p = fit.placement;
    const FitRect rows = ScreenRectOf(&fit, FitRect{0, top, p.pictureWidth, bottom - top});
    if (rows.height <= 0) return;
    const int y0 = std::max(rows.y, area.y) - p.visible.y;
    const int y1 = int(std::min(int64_t{rows.y} + rows.height, int64_t{area.y} + area.height) - p.visible.y);
    const int x0 = std::max(p.visible.x, area.x) - p.visible.x;
    const int x1 = int(std::min(int64_t{p.visible.x} + p.visible.width, int64_t{area.x} + area.width) - p.visible.x);
    // Screen rows read picture rows in order, each row and the next: two
    // mapped rows, by the row's parity.
    MappedRow mapped[2] = {{-1, 0, {}}, {-1, 0, {}}};
    const auto mappedRow = [&](int32_t index) -> const MappedRow& {
        MappedRow& m = mapped[index & 1];
        if (m.index != index) {
            m.index = index;
            m.count = MapSpans(fit, spansOf(index), m.at);
        }
        return m;
    };
    const auto plan = [&](int y, RowPlan* r) {
        r->tap = fit.rows[y];
        r->count = RowIntervals(mappedRow(r->tap.index), r->tap.weight ? &mappedRow(r->tap.index + 1) : nullptr, x0,
                                x1, r->at);
    };
    const auto rowAt = [&](int y) {
        return pixels + ((int64_t{p.visible.y} + y - area.y) * pitch + p.visible.x - area.x);
    };
    const auto put = [&](const RowPlan& r, const RowPlan* above, Pixel* row) {
        const bool copy = above && r.count == above->count && sameSource(above->tap, r.tap) &&
                          std::equal(r.at, r.at + r.count, above->at);
        for (int k = 0; k < r.count; ++k) {
            Pixel* out = row + r.at[k].begin;
            if (copy) {
                std::memcpy(out, out - pitch, size_t(r.at[k].end - r.at[k].begin) * sizeof(Pixel));
            } else {
                write(r.tap, r.at[k], out);
            }
        }
    };
    // Plans live in three slots, the row above's kept while the next rows
    // are planned; a row with the row above's tap shares its plan.
    RowPlan slots[3];
    const auto freeSlot = [&](const RowPlan* a, const RowPlan* b) {
        RowPlan* s = slots;
        while (s == a || s == b) ++s;
        return s;
    };
    RowPlan* above = nullptr;
    for (int y = y0; y < y1; ++y) {
        RowPlan* here = above;
        if (!above || !SameTap(fit.rows[y], above->tap)) {
            here = freeSlot(above, nullptr);
            plan(y, here);
        }
        Pixel* row = rowAt(y);
        if constexpr (kBlendNeighbours) {
            RowPlan* next = freeSlot(above, here);
            if (above && here->tap.weight && above->tap.weight == 0 && above->tap.index == here->tap.index &&
                y + 1 < y1 && (plan(y + 1, next), next->tap.weight == 0 && next->tap.index == here->tap.index + 1)) {
                put(*next, nullptr, row + pitch);
                Interval both[kMaxRowIntervals];
                const int n = Common(above->at, above->count, next->at, next->count, both);
                for (int k = 0, b = 0; k < here->count; ++k) {
                    // Where both neighbours were written the row is their
                    // blend; the rest is written from the picture.
                    int x = here->at[k].begin;
                    for (; b < n && both[b].begin < here->at[k].end; ++b) {
                        if (both[b].begin > x) write(here->tap, Interval{x, both[b].begin}, row + x);
                        BlendRows(row - pitch + both[b].begin, row + pitch + both[b].begin,
                                  uint32_t(here->tap.weight), both[b].end - both[b].begin, row + both[b].begin);
                        x = both[b].end;
                    }
                    if (x < here->at[k].end) write(here->tap, Interval{x, here->at[k].end}, row + x);
                }
                above = next;
                ++y;
                continue;
            }
        }
        put(*here, above, row);
        above = here;
    }
}

// Runs are a few pixels long at the usual factors: one 16-byte store covers
// a run of up to 4 where the interval has room past it (the next run
// overwrites the excess).
inline void FillRun(uint32_t* out, int length, int room, uint32_t colour)
{
    if (length <= 4 && room >= 4) {
        const uint32_t four[4] = {colour, colour, colour, colour};
        std::memcpy(out, four, sizeof four);
        return;
    }
    std::fill_n(out, length, colour);
}

// The colours of picture columns in one picture row or, with kBlendRows,
// blended down to the next: a column's own (At), and one blended along x
// with the next by wx (Between). Raw reads a column's table colours once
// for both.
template <bool kBlendRows>
struct RowColours {
    const uint8_t* upper;
    const uint8_t* lower;
    uint32_t wy;
    const uint32_t* table;
    struct Raw {
        uint32_t upper, lower;
    };
    [[gnu::always_inline]] Raw Read(int32_t index) const
    {
        return Raw{table[upper[index]], kBlendRows ? table[lower[index]] : 0};
    }
    [[gnu::always_inline]] uint32_t Down(Raw a) const { return kBlendRows ? Blend(a.upper, a.lower, wy) : a.upper; }
    [[gnu::always_inline]] uint32_t Across(Raw a, Raw b, uint32_t wx) const
    {
        const uint32_t top = Blend(a.upper, b.upper, wx);
        return kBlendRows ? Blend(top, Blend(a.lower, b.lower, wx), wy) : top;
    }
    uint32_t At(int32_t index) const { return Down(Read(index)); }
    uint32_t Between(int32_t index, int32_t next, uint32_t wx) const { return Across(Read(index), Read(next), wx); }
};

// The runs of visible columns [v.begin, v.end) one by one.
template <typename Colours>
void WriteRuns(const ScreenFit& fit, const Colours& colours, Interval v, uint32_t* out)
{
    int x = v.begin;
    for (const FitRun* run = fit.runs + fit.runOfColumn[x]; x < v.end; ++run) {
        const int stop = std::min(run->end, v.end);
        const uint32_t colour =
            run->weight ? colours.Between(run->index, run->next, uint32_t(run->weight)) : colours.At(run->index);
        FillRun(out, stop - x, v.end - x, colour);
        out += stop - x;
        x = stop;
    }
}

// The same a picture column at a time through the fit's column layout:
// the colour filled over the column's own run, then the blend with the
// next column. Away from the interval's ends a 16-byte store fills the
// run, and with no blend column the pixel after the run is written
// anyway, for the next column to overwrite.
template <typename Colours>
void WriteColumns(const ScreenFit& fit, const Colours& colours, Interval v, uint32_t* out)
{
    const FitColumn* columns = fit.pictureColumns;
    const int32_t last = fit.placement.pictureWidth - 1;
    uint32_t* base = out - v.begin;
    int32_t c = fit.runs[fit.runOfColumn[v.begin]].index;
    auto here = colours.Read(c);
    for (; c <= last; ++c) {
        const FitColumn k = columns[c];
        if (k.start >= v.end) break;
        const auto next = c < last ? colours.Read(c + 1) : here;
        const uint32_t colour = colours.Down(here);
        if (k.start >= v.begin && k.start + 5 <= v.end && c < last) {
            const uint32_t four[4] = {colour, colour, colour, colour};
            std::memcpy(base + k.start, four, sizeof four);
            base[k.start + k.pure] = colours.Across(here, next, uint32_t(k.blend));
        } else {
            const int from = std::max(k.start, v.begin), to = std::min(k.start + k.pure, v.end);
            for (int x = from; x < to; ++x) base[x] = colour;
            const int blend = k.start + k.pure;
            if (k.blend > 0 && blend >= v.begin && blend < v.end) base[blend] = colours.Across(here, next, uint32_t(k.blend));
        }
        here = next;
    }
}

// One interval of a screen row, from the 8-bit pixels through the table.
template <bool kBlendRows>
void WriteRgbInterval(const ScreenFit& fit, const uint8_t* upper, const uint8_t* lower, uint32_t wy,
                      const uint32_t* table, Interval v, uint32_t* out)
{
    const RowColours<kBlendRows> colours{upper, lower, wy, table};
    if (fit.placement.output.width == fit.placement.pictureWidth) {
        // One screen column a picture column (centred, or a whole multiple of 1):
        // a colour a pixel, with nothing to fill or blend.
        const int32_t first = fit.columns[v.begin].index;
        for (int x = 0; x < v.end - v.begin; ++x) out[x] = colours.At(first + x);
        return;
    }
    if (fit.pictureColumns) {
        WriteColumns(fit, colours, v, out);
    } else {
        WriteRuns(fit, colours, v, out);
    }
}

// Rows of the bottom-up picture by number from the top.
struct PictureRows {
    const uint8_t* top;
    int64_t step;
    explicit PictureRows(const Image* picture)
        : top(PixelAddress(picture, 0, 0)), step(-int64_t{ImageStride(picture)}) {}
    const uint8_t* operator[](int y) const { return top + y * step; }
};

template <typename SpansOf>
void WriteRgb(const ScreenFit& fit, const Image* picture, const uint32_t* table, int top, int bottom,
              SpansOf spansOf, const RgbPixels& target)
{
    const PictureRows rows(picture);
    WriteSpanRows<true>(fit, top, bottom, spansOf, target.pixels, target.pitch, target.area, SameTap,
                        [&](const FitTap& tap, Interval v, uint32_t* out) {
                            const uint8_t* upper = rows[tap.index];
                            if (tap.weight == 0) {
                                WriteRgbInterval<false>(fit, upper, upper, 0, table, v, out);
                            } else {
                                WriteRgbInterval<true>(fit, upper, rows[tap.index + 1], uint32_t(tap.weight), table,
                                                       v, out);
                            }
                        });
}

template <typename SpansOf>
void WriteIndexed(const ScreenFit& fit, const Image* picture, int top, int bottom, SpansOf spansOf,
                  const IndexPixels& target)
{
    const PictureRows rows(picture);
    WriteSpanRows<false>(fit, top, bottom, spansOf, target.pixels, target.pitch, target.area,
                         [](const FitTap& a, const FitTap& b) { return NearestIndex(a) == NearestIndex(b); },
                         [&](const FitTap& tap, Interval v, uint8_t* out) {
                             const uint8_t* row = rows[NearestIndex(tap)];
                             for (int x = v.begin; x < v.end; ++x) *out++ = row[NearestIndex(fit.columns[x])];
                         });
}

// A rectangle as spans: the same one on each of its rows.
struct RectSpans {
    RowSpans row;
    int top, bottom;
    const RowSpans* operator()(int y) const { return y >= top && y < bottom ? &row : nullptr; }
};

// The source cut to the picture as spans; 0 when nothing of it is on the
// target.
int RectAsSpans(const ScreenFit* fit, FitRect source, FitRect area, RectSpans* spans)
{
    const FitRect screen = ScreenRectOf(fit, source);
    if (screen.width <= 0 || screen.height <= 0) return 0;
    const int64_t left = std::max(int64_t{screen.x}, int64_t{area.x});
    const int64_t right = std::min(int64_t{screen.x} + screen.width, int64_t{area.x} + area.width);
    const int64_t top = std::max(int64_t{screen.y}, int64_t{area.y});
    const int64_t bottom = std::min(int64_t{screen.y} + screen.height, int64_t{area.y} + area.height);
    if (right <= left || bottom <= top) return 0;
    const PicturePlacement& p = fit->placement;
    const int x0 = std::max(source.x, 0), y0 = std::max(source.y, 0);
    const int x1 = int(std::min(int64_t{source.x} + source.width, int64_t{p.pictureWidth}));
    const int y1 = int(std::min(int64_t{source.y} + source.height, int64_t{p.pictureHeight}));
    *spans = RectSpans{RowSpans{1, {ColumnSpan{x0, x1}}}, y0, y1};
    return 1;
}

// The spans' rows as a source, those outside the picture left out.
struct ListedSpans {
    const PictureSpans& list;
    const RowSpans* operator()(int y) const
    {
        const int64_t i = int64_t{y} - list.top;
        return i >= 0 && i < list.rowCount ? list.rows + i : nullptr;
    }
};

int SpansAreUsable(const ScreenFit* fit, const PictureSpans& spans, int* top, int* bottom)
{
    if (!spans.rows || spans.rowCount <= 0) return 0;
    *top = std::max(spans.top, 0);
    *bottom = int(std::min(int64_t{spans.top} + spans.rowCount, int64_t{fit->placement.pictureHeight}));
    return 1;
}

// One screen pixel a picture pixel both ways (centred, the usual window):
// each span's pixels go straight through `convert`, cut to the visible part
// and the target's area; the footprint of a span is the span itself.
bool IsOneToOne(const ScreenFit& fit)
{
    const PicturePlacement& p = fit.placement;
    return p.output.width == p.pictureWidth && p.output.height == p.pictureHeight;
}

template <typename Pixel, typename Convert>
void WriteSpansOneToOne(const ScreenFit& fit, const Image* picture, int top, int bottom, const PictureSpans& spans,
                        Pixel* pixels, int pitch, FitRect area, Convert convert)
{
    const PicturePlacement& p = fit.placement;
    const FitRect v = p.visible;
    const int left = std::max(v.x, area.x), right = std::min(v.x + v.width, area.x + area.width);
    const int upper = std::max(v.y, area.y), lower = std::min(v.y + v.height, area.y + area.height);
    for (int y = top; y < bottom; ++y) {
        const int screenY = y + p.output.y;
        if (screenY < upper || screenY >= lower) continue;
        const RowSpans& row = spans.rows[y - spans.top];
        const uint8_t* in = PixelAddress(picture, 0, y);
        Pixel* out = pixels + int64_t{screenY - area.y} * pitch - area.x + p.output.x;
        for (int k = 0; k < row.count; ++k) {
            const int from = std::max({row.spans[k].begin, 0, left - p.output.x});
            const int to = std::min({row.spans[k].end, p.pictureWidth, right - p.output.x});
            for (int x = from; x < to; ++x) out[x] = convert(in[x]);
        }
    }
}

}  // namespace

int ScalePictureRect(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount],
                     FitRect source, const RgbPixels& target)
{
    RectSpans spans;
    if (!table || !Usable(fit, picture, target.pixels, target.pitch, target.area)) return 0;
    if (!RectAsSpans(fit, source, target.area, &spans)) return 0;
    WriteRgb(*fit, picture, table, spans.top, spans.bottom, spans, target);
    return 1;
}

int ScalePictureRectIndexed(const ScreenFit* fit, const Image* picture, FitRect source,
                            const IndexPixels& target)
{
    RectSpans spans;
    if (!Usable(fit, picture, target.pixels, target.pitch, target.area)) return 0;
    if (!RectAsSpans(fit, source, target.area, &spans)) return 0;
    WriteIndexed(*fit, picture, spans.top, spans.bottom, spans, target);
    return 1;
}

int ScalePictureSpans(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount],
                      const PictureSpans& spans, const RgbPixels& target)
{
    int top, bottom;
    if (!table || !Usable(fit, picture, target.pixels, target.pitch, target.area)) return 0;
    if (!SpansAreUsable(fit, spans, &top, &bottom)) return 0;
    if (IsOneToOne(*fit)) {
        WriteSpansOneToOne(*fit, picture, top, bottom, spans, target.pixels, target.pitch, target.area,
                           [table](uint8_t v) { return table[v]; });
        return 1;
    }
    WriteRgb(*fit, picture, table, top, bottom, ListedSpans{spans}, target);
    return 1;
}

int ScalePictureSpansIndexed(const ScreenFit* fit, const Image* picture, const PictureSpans& spans,
                             const IndexPixels& target)
{
    int top, bottom;
    if (!Usable(fit, picture, target.pixels, target.pitch, target.area)) return 0;
    if (!SpansAreUsable(fit, spans, &top, &bottom)) return 0;
    if (IsOneToOne(*fit)) {
        WriteSpansOneToOne(*fit, picture, top, bottom, spans, target.pixels, target.pitch, target.area,
                           [](uint8_t v) { return v; });
        return 1;
    }
    WriteIndexed(*fit, picture, top, bottom, ListedSpans{spans}, target);
    return 1;
}
