// Scaling changed parts of the picture into screen pixels. On true-colour
// screens at an uneven factor each picture row is scaled along x once into
// a working line, a run of columns inside one picture pixel as one colour;
// the screen rows reading it alone are copies of that line, and those
// straddling two picture rows blend the two lines. At a whole multiple, and
// on palette screens, each screen row is written straight from the picture.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/screen_scale.h"
#include "image/screen_runs.h"
#include "image/short_copy.h"

#if defined(__i386__) || defined(__x86_64__)
#include <tmmintrin.h>
#endif

namespace {

// Per byte (a (256 - w) + b w + 128) / 256, the top byte too (0 on
// 0x00RRGGBB stays 0; the web page's 255, its alpha, stays 255); a itself
// when w is 0.
inline uint32_t Blend(uint32_t a, uint32_t b, uint32_t w) {
    const uint32_t v = kWeightOne - w;
    const uint32_t redBlue = ((a & 0xFF00FFu) * v + (b & 0xFF00FFu) * w + 0x800080u) >> 8;
    const uint32_t topGreen = (a >> 8 & 0xFF00FFu) * v + (b >> 8 & 0xFF00FFu) * w + 0x800080u;
    return (redBlue & 0xFF00FFu) | (topGreen & 0xFF00FF00u);
}

inline int32_t NearestIndex(const FitTap& t) { return t.index + (t.weight >= kWeightOne / 2); }

// Visible columns [begin, end) of one screen row.
struct Interval {
    int begin, end;
};
// A working line serves the screen rows of its picture row and of the rows
// either side: the footprints of three rows' spans.
constexpr int kMaxLineIntervals = 3 * kMaxRowSpans;

// The visible columns reading a row's spans, in order, cut to the columns
// [from, to) (spans are cut to the picture; those read by no visible column
// are left out).
int MapSpans(const ScreenFit& fit, const RowSpans* row, int from, int to, Interval* out) {
    if (!row) return 0;
    int n = 0;
    for (int k = 0; k < std::clamp(row->count, 0, kMaxRowSpans); ++k) {
        const int begin = std::max(row->spans[k].begin, 0);
        const int end = std::min(row->spans[k].end, fit.placement.pictureWidth);
        if (begin >= end) continue;
        const Interval v{std::max(fit.columnReach[begin].begin, from), std::min(fit.columnReach[end - 1].end, to)};
        if (v.begin < v.end) out[n++] = v;
    }
    return n;
}

// A picture row's spans as visible columns, and once asked for, joined
// with the next row's: what a screen row straddling the two writes.
struct MappedRow {
    int32_t index;
    int count;
    Interval at[kMaxRowSpans];
    int pairCount;  // -1 until asked for
    Interval pair[2 * kMaxRowSpans];
};

// The columns either list covers (each in order), in order and joined
// where they meet. Each interval is stored once, whole: its readers load
// it soon after, and a load of a half stored twice waits for the stores.
int Join(const Interval* a, int na, const Interval* b, int nb, Interval* out) {
    if (na + nb == 0) return 0;
    int n = 0, i = 0, j = 0;
    const auto take = [&] { return j >= nb || (i < na && a[i].begin <= b[j].begin) ? a[i++] : b[j++]; };
    Interval joined = take();
    while (i < na || j < nb) {
        const Interval next = take();
        if (next.begin <= joined.end) {
            joined.end = std::max(joined.end, next.end);
        } else {
            out[n++] = joined;
            joined = next;
        }
    }
    out[n++] = joined;
    return n;
}

template <typename Pixel>
int Usable(const ScreenFit* fit, const Image* picture, const uint32_t* table, const ScreenPixels<Pixel>& target) {
    if (!fit || !fit->columns || !picture || !picture->header || !picture->pixels || !target.pixels) return 0;
    if (!table && sizeof(Pixel) != 1) return 0;
    if (sizeof(Pixel) == 1 && !PreparePaletteColumns(fit)) return 0;
    if (target.area.width <= 0 || target.area.height <= 0 || target.pitch < target.area.width) return 0;
    return ImageWidth(picture) == fit->placement.pictureWidth && ImageHeight(picture) == fit->placement.pictureHeight;
}

bool SameTap(const FitTap& a, const FitTap& b) { return a.index == b.index && a.weight == b.weight; }

// The screen rows and visible columns reading picture rows [top, bottom)
// within a target's area, and those rows' spans as visible columns. Screen
// rows read picture rows in order, so the mapped rows live in a ring.
template <typename Pixel, typename SpansOf>
struct SpanWindow {
    const ScreenFit& fit;
    SpansOf spansOf;
    ScreenPixels<Pixel> target;
    int y0 = 0, y1 = 0, x0 = 0, x1 = 0;  // visible rows and columns
    // Slots start unmapped by an index no row has (-1, the row above the
    // picture, is asked for); a row's intervals are read only up to the
    // count its mapping stored, so they need no clearing.
    MappedRow mapped[4];

    SpanWindow(const ScreenFit& f, int top, int bottom, SpansOf s, const ScreenPixels<Pixel>& t)
        : fit(f), spansOf(s), target(t) {
        for (MappedRow& m : mapped) m.index = INT32_MIN;
        const PicturePlacement& p = fit.placement;
        const Rect area = target.area;
        const Rect rows = ScreenRectOf(&fit, Rect{0, top, p.pictureWidth, bottom - top});
        if (rows.height <= 0) return;
        y0 = std::max(rows.y, area.y) - p.visible.y;
        y1 = int(std::min(int64_t{rows.y} + rows.height, int64_t{area.y} + area.height) - p.visible.y);
        x0 = std::max(p.visible.x, area.x) - p.visible.x;
        x1 = int(std::min(int64_t{p.visible.x} + p.visible.width, int64_t{area.x} + area.width) - p.visible.x);
    }
    const MappedRow& Mapped(int32_t index) {
        MappedRow& m = mapped[index & 3];
        if (m.index != index) {
            m.index = index;
            m.count = MapSpans(fit, spansOf(index), x0, x1, m.at);
            m.pairCount = -1;
        }
        return m;
    }
    const MappedRow& Paired(int32_t index) {
        MappedRow& m = mapped[index & 3];
        Mapped(index);
        if (m.pairCount < 0) {
            const MappedRow& next = Mapped(index + 1);
            m.pairCount = Join(m.at, m.count, next.at, next.count, m.pair);
        }
        return m;
    }
    // What a screen row writes: the footprints of the rows its tap reads
    // (held in the ring until it moves three rows on).
    int Intervals(const FitTap& tap, const Interval** at) {
        const MappedRow& m = tap.weight ? Paired(tap.index) : Mapped(tap.index);
        *at = tap.weight ? m.pair : m.at;
        return tap.weight ? m.pairCount : m.count;
    }
    Pixel* RowAt(int y) const {
        const PicturePlacement& p = fit.placement;
        return target.pixels +
               ((int64_t{p.visible.y} + y - target.area.y) * target.pitch + p.visible.x - target.area.x);
    }
};

// Per 16-bit lane: two channels of a pixel, so two pixels' colours blend
// in each half of the register, in exactly Blend's arithmetic.
typedef uint16_t Lanes __attribute__((vector_size(16)));

void BlendRows(const uint32_t* above, const uint32_t* below, uint32_t w, int count, uint32_t* out) {
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
    if (x < count && count >= 4) {
        // The last four again: the rows blended are not the one written.
        BlendRows(above + count - 4, below + count - 4, w, 4, out + count - 4);
        return;
    }
    for (; x < count; ++x) out[x] = Blend(above[x], below[x], w);
}

// Runs are a few pixels long at the usual factors: one 16-byte store covers
// a run of up to 4 where the interval has room past it (the next run
// overwrites the excess).
inline void FillRun(uint32_t* out, int length, int room, uint32_t colour) {
    if (length <= 4 && room >= 4) {
        const uint32_t four[4] = {colour, colour, colour, colour};
        std::memcpy(out, four, sizeof four);
        return;
    }
    std::fill_n(out, length, colour);
}

// The colours of one picture row's columns: a column's own (At), and one
// blended along x with the next by wx (Between).
struct RowColours {
    const uint8_t* row;
    const uint32_t* table;
    uint32_t At(int32_t index) const { return table[row[index]]; }
    uint32_t Between(int32_t index, int32_t next, uint32_t wx) const { return Blend(At(index), At(next), wx); }
};

// The runs of visible columns [v.begin, v.end) one by one.
void WriteRuns(const ScreenFit& fit, const RowColours& colours, Interval v, uint32_t* out) {
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

typedef uint32_t Pixels __attribute__((vector_size(16)));

inline void Store(uint32_t* out, Pixels p) { std::memcpy(out, &p, sizeof p); }

// Four columns c .. c + 3 inside the interval, their blends with the next
// column worked out together: each column's colour filled by one 16-byte
// store from its start, then its blend pixel, the one before the next
// column's start (the column's own last pixel, blended by 0, where it has
// no blend column), so each store overwrites only the one before's excess.
inline void WriteFourColumns(const FitColumn* k, const uint32_t* weights, const uint8_t* row, const uint32_t* table,
                             uint32_t next, uint32_t* base) {
    const Pixels here = {table[row[0]], table[row[1]], table[row[2]], table[row[3]]};
    const Pixels after = {here[1], here[2], here[3], next};
    Pixels w;
    std::memcpy(&w, weights, sizeof w);
    const Lanes a = Lanes(here), b = Lanes(after), u = Lanes(w), v = kWeightOne - u;
    const Lanes blueRed = ((a & 0xFF) * v + (b & 0xFF) * u + 0x80) >> 8;
    const Lanes green = ((a >> 8) * v + (b >> 8) * u + 0x80) & 0xFF00;
    const Pixels blended = Pixels(blueRed | green);
    const auto put = [&](int i) {
        Store(base + k[i].start, Pixels{} + here[i]);
        base[k[i + 1].start - 1] = blended[i];
    };
    put(0), put(1), put(2), put(3);
}

// The same a picture column at a time through the fit's column layout,
// into a working line (which has room for kLinePadding pixels past its
// end): each column reaching into the interval is written whole, four at
// a time while there is a next column to blend with, its run filled by
// one 16-byte store whose excess the next column overwrites. The last
// four may reach up to three columns past the interval: their right
// colours cost less than the columns one at a time. Pixels outside the
// interval may be written too: those before it get their right colours,
// those after it are written again before they are read. A group of four
// needs the column after it laid out, so groups stop before the last
// column on the screen (where cover crops, columns after it have none).
void WriteColumns(const ScreenFit& fit, const RowColours& colours, Interval v, uint32_t* line) {
    const FitColumn* columns = fit.pictureColumns;
    const int32_t last = fit.columns[fit.placement.visible.width - 1].index;
    const int32_t end = fit.columns[v.end - 1].index;
    int32_t c = fit.columns[v.begin].index;
    for (; c <= end && c + 4 <= last; c += 4) {
        WriteFourColumns(columns + c, fit.columnWeights + c, colours.row + c, colours.table, colours.At(c + 4), line);
    }
    for (; c <= end; ++c) {
        const FitColumn k = columns[c];
        Store(line + k.start, Pixels{} + colours.At(c));
        if (k.blend > 0) line[k.start + k.pure] = colours.Between(c, c + 1, uint32_t(k.blend));
    }
}

// Visible columns [v.begin, v.end) of one picture row scaled along x, from
// the 8-bit pixels through the table.
void WriteLine(const ScreenFit& fit, const uint8_t* row, const uint32_t* table, const Interval& v, uint32_t* out) {
    const RowColours colours{row, table};
    if (fit.placement.output.width == fit.placement.pictureWidth) {
        // One screen column a picture column (centred, or a whole multiple of 1):
        // a colour a pixel, with nothing to fill or blend.
        const int32_t first = fit.columns[v.begin].index;
        for (int x = 0; x < v.end - v.begin; ++x) out[x] = colours.At(first + x);
        return;
    }
    if (fit.pictureColumns) {
        WriteColumns(fit, colours, v, out - v.begin);
    } else {
        WriteRuns(fit, colours, v, out);
    }
}

// Copies of a working line into a screen row: most are a few dozen pixels.
inline void CopyPixels(uint32_t* out, const uint32_t* in, int count) {
    constexpr int kShort = 256;
    const int bytes = count * int(sizeof(uint32_t));
    if (bytes > kShort) {
        std::memcpy(out, in, size_t(bytes));
    } else {
        CopyShort(reinterpret_cast<uint8_t*>(out), reinterpret_cast<const uint8_t*>(in), bytes);
    }
}

// A whole multiple k of 2 or more: each screen row reads one picture row,
// the k rows of a picture row alike, so no working line is needed. The
// colours of [v.begin, v.end) are gathered four columns at a time (the
// last four again at the end) and each four stored into every row of the
// group: a changed pixel put as its k x k block.
void WriteBlockRows(const ScreenFit& fit, const RowColours& colours, Interval v, uint32_t* out, int64_t pitch,
                    int rowCount) {
    const FitTap* t = fit.columns + v.begin;
    const int count = v.end - v.begin;
    out += v.begin;
    const auto put = [&](int x) {
        const Pixels four = {colours.At(t[x].index), colours.At(t[x + 1].index), colours.At(t[x + 2].index),
                             colours.At(t[x + 3].index)};
        for (int r = 0; r < rowCount; ++r) Store(out + r * pitch + x, four);
    };
    if (count < 4) {
        for (int x = 0; x < count; ++x)
            for (int r = 0; r < rowCount; ++r) out[r * pitch + x] = colours.At(t[x].index);
        return;
    }
    for (int x = 0; x + 4 <= count; x += 4) put(x);
    if (count % 4) put(count - 4);
}

template <typename SpansOf>
void WriteWholeMultiple(const ScreenFit& fit, const Image* picture, const uint32_t* table, int top, int bottom,
                        SpansOf spansOf, const RgbPixels& target) {
    const ImageRows rows = RowsOf(picture);
    SpanWindow<uint32_t, SpansOf> window(fit, top, bottom, spansOf, target);
    for (int y = window.y0, group = 1; y < window.y1; y += group) {
        const FitTap tap = fit.rows[y];
        for (group = 1; y + group < window.y1 && fit.rows[y + group].index == tap.index;) ++group;
        const Interval* at = nullptr;
        const int count = window.Intervals(tap, &at);
        const RowColours colours{RowsPixel(rows, 0, tap.index), table};
        for (int k = 0; k < count; ++k) WriteBlockRows(fit, colours, at[k], window.RowAt(y), target.pitch, group);
    }
}

// When a tick comes the screen's lines are cold (the display server has
// read them since, and other programs have had the caches and TLB), and a
// store to a cold line stalls the rows behind it, longest where its 4 KB
// page needs a walk. So the row kPrefetchRows below is asked for while this
// one is worked on, where this one writes (rows of a picture row write
// alike, and neighbours mostly do; a wrong guess costs only a fetch): the
// first 64-byte line of each interval, and its last where it reaches into
// another page, which starts the walks and the first misses early; the
// hardware follows on along the lines. Through asm, as a loop of nothing
// but __builtin_prefetch counts as removable; prefetcht0 (SSE), as every
// x86 this runs on has it.
constexpr int kPrefetchRows = 2;

inline void PrefetchLine(const uint32_t* pixel) {
#if defined(__i386__) || defined(__x86_64__)
    asm volatile("prefetcht0 %0" ::"m"(*pixel));
#else
    __builtin_prefetch(pixel);
#endif
}

inline uintptr_t PageOf(const uint32_t* pixel) { return reinterpret_cast<uintptr_t>(pixel) / 4096; }

void PrefetchRow(const uint32_t* row, const Interval* at, int count) {
    for (int k = 0; k < count; ++k) {
        const uint32_t *first = row + at[k].begin, *last = row + at[k].end - 1;
        PrefetchLine(first);
        if (PageOf(last) != PageOf(first)) PrefetchLine(last);
    }
}

bool IsWholeMultiple(const ScreenFit& fit) {
    return fit.placement.factorDenominator == 1 && fit.placement.factorNumerator >= 2;
}

// Each picture row a screen row reads is scaled once into a working line,
// over the footprints of its own spans and its neighbours' (the rows
// straddling it and them read it there); two lines, by the row's parity.
// Screen rows reading one picture row copy its line, those straddling two
// blend their lines.
template <typename SpansOf>
void WriteScaled(const ScreenFit& fit, const Image* picture, const uint32_t* table, int top, int bottom,
                 SpansOf spansOf, const RgbPixels& target) {
    if (IsWholeMultiple(fit)) return WriteWholeMultiple(fit, picture, table, top, bottom, spansOf, target);
    const ImageRows rows = RowsOf(picture);
    SpanWindow<uint32_t, SpansOf> window(fit, top, bottom, spansOf, target);
    const int width = fit.placement.visible.width;
    int32_t lineIndex[2] = {-1, -1};
    const auto line = [&](int32_t index) {
        uint32_t* pixels = fit.lines + (index & 1) * (width + kLinePadding);
        if (lineIndex[index & 1] != index) {
            lineIndex[index & 1] = index;
            const MappedRow &above = window.Paired(index - 1), &here = window.Paired(index);
            Interval at[kMaxLineIntervals];
            const int n = Join(above.pair, above.pairCount, here.pair, here.pairCount, at);
            for (int k = 0; k < n; ++k) WriteLine(fit, RowsPixel(rows, 0, index), table, at[k], pixels + at[k].begin);
        }
        return pixels;
    };
    FitTap tap{-1, 0};
    const Interval* at = nullptr;
    int count = 0;
    for (int y = window.y0; y < window.y1; ++y) {
        if (!SameTap(fit.rows[y], tap)) {
            tap = fit.rows[y];
            count = window.Intervals(tap, &at);
        }
        if (count == 0) continue;
        uint32_t* row = window.RowAt(y);
        if (y + kPrefetchRows < window.y1) PrefetchRow(window.RowAt(y + kPrefetchRows), at, count);
        const uint32_t* upper = line(tap.index);
        if (tap.weight != 0) {
            const uint32_t* lower = line(tap.index + 1);
            for (int k = 0; k < count; ++k) {
                const Interval& v = at[k];
                BlendRows(upper + v.begin, lower + v.begin, uint32_t(tap.weight), v.end - v.begin, row + v.begin);
            }
            continue;
        }
        for (int k = 0; k < count; ++k) CopyPixels(row + at[k].begin, upper + at[k].begin, at[k].end - at[k].begin);
    }
}

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "indices are gathered low byte first");

// Eight visible columns from x of a palette screen's row, each the index
// under its own centre, gathered in a register (bytes in memory order on
// these little-endian targets) and stored at once: a word loaded back from
// eight byte stores would wait for all of them to reach the cache.
inline void WriteEightIndices(const int32_t* nearest, const uint8_t* row, uint8_t* out) {
    uint64_t eight = 0;
    for (int i = 0; i < 8; ++i) eight |= uint64_t{row[nearest[i]]} << (8 * i);
    std::memcpy(out, &eight, sizeof eight);
}

// Visible columns [v.begin, v.end) of a palette screen's row straight from
// the picture row under its centre, eight at a time (the last eight again
// where the interval is not a multiple), shorter ones a byte at a time. No
// working line: the row is a gather, cheaper done again for each screen
// row than stored and loaded back.
void WriteIndices(const ScreenFit& fit, const uint8_t* row, const Interval& v, uint8_t* out) {
    const int32_t* nearest = fit.nearestColumns;
    if (v.end - v.begin < 8) {
        for (int x = v.begin; x < v.end; ++x) out[x] = row[nearest[x]];
        return;
    }
    for (int x = v.begin; x + 8 <= v.end; x += 8) WriteEightIndices(nearest + x, row, out + x);
    if ((v.end - v.begin) % 8) WriteEightIndices(nearest + v.end - 8, row, out + v.end - 8);
}

#if defined(__i386__) || defined(__x86_64__)
// Where the fit has shuffles (a magnified picture, on a processor with
// SSSE3): 16 visible columns from x are one load of the picture bytes they
// read and one byte shuffle, stored at once. Intervals of 16 or more are
// written 16 at a time (the last 16 again), those of 4 to 15 as two
// overlapping stores of 8 or of 4, shorter ones a byte at a time.
__attribute__((target("ssse3"))) inline __m128i ShuffledIndices(const FitShuffle& s, const uint8_t* row) {
    return _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + s.from)),
                            _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.lanes)));
}

__attribute__((target("ssse3"))) inline void StoreFourIndices(uint8_t* out, __m128i indices) {
    const int32_t four = _mm_cvtsi128_si32(indices);
    std::memcpy(out, &four, sizeof four);
}

__attribute__((target("ssse3"))) void WriteShuffledIndices(const ScreenFit& fit, const uint8_t* row, const Interval& v,
                                                           uint8_t* out) {
    const FitShuffle* s = fit.shuffles;
    // Held apart from `out`'s bytes, which may alias them and would have
    // them loaded again after each store.
    const int begin = v.begin, end = v.end, length = end - begin;
    if (length >= 16) {
        for (int x = begin; x + 16 <= end; x += 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), ShuffledIndices(s[x], row));
        }
        if (length % 16) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + end - 16), ShuffledIndices(s[end - 16], row));
        }
    } else if (length >= 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + begin), ShuffledIndices(s[begin], row));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + end - 8), ShuffledIndices(s[end - 8], row));
    } else if (length >= 4) {
        StoreFourIndices(out + begin, ShuffledIndices(s[begin], row));
        StoreFourIndices(out + end - 4, ShuffledIndices(s[end - 4], row));
    } else {
        WriteIndices(fit, row, v, out);
    }
}
#else
void WriteShuffledIndices(const ScreenFit& fit, const uint8_t* row, const Interval& v, uint8_t* out) {
    WriteIndices(fit, row, v, out);
}
#endif

// The writers take each interval by reference, read a half at a time:
// MapSpans stores it so, and a whole load of two half stores waits. The
// writer is a parameter, so each row calls it directly.
template <auto write, typename SpansOf>
void WriteIndexRows(const ScreenFit& fit, const ImageRows& rows, SpansOf spansOf,
                    const SpanWindow<uint8_t, SpansOf>& window) {
    // A row straddling two picture rows writes the footprints of each one's
    // spans in turn: where they overlap the same bytes are written twice,
    // which costs less than joining the two lists and reading the joined
    // list back (the window's rows). Rows read picture rows in order, and
    // no two straddle the same two, so the second row one reads is the
    // first the next one reads: the footprints last mapped are kept.
    Interval mapped[kMaxRowSpans];
    int32_t mappedIndex = -1;
    int mappedCount = 0;
    for (int y = window.y0; y < window.y1; ++y) {
        const FitTap tap = fit.rows[y];
        const uint8_t* row = RowsPixel(rows, 0, NearestIndex(tap));
        uint8_t* out = window.RowAt(y);
        for (int32_t index = tap.index; index <= tap.index + (tap.weight > 0); ++index) {
            if (index != mappedIndex) {
                mappedIndex = index;
                mappedCount = MapSpans(fit, spansOf(index), window.x0, window.x1, mapped);
            }
            for (int i = 0; i < mappedCount; ++i) write(fit, row, mapped[i], out);
        }
    }
}

template <typename SpansOf>
void WriteScaled(const ScreenFit& fit, const Image* picture, const uint32_t*, int top, int bottom, SpansOf spansOf,
                 const IndexPixels& target) {
    const SpanWindow<uint8_t, SpansOf> window(fit, top, bottom, spansOf, target);
    if (fit.shuffles) return WriteIndexRows<WriteShuffledIndices>(fit, RowsOf(picture), spansOf, window);
    WriteIndexRows<WriteIndices>(fit, RowsOf(picture), spansOf, window);
}

// A rectangle as spans: the same one on each of its rows.
struct RectSpans {
    RowSpans row;
    int top, bottom;
    const RowSpans* operator()(int y) const { return y >= top && y < bottom ? &row : nullptr; }
};

// The source cut to the picture as spans; 0 when nothing of it is on the
// target.
int RectAsSpans(const ScreenFit* fit, Rect source, Rect area, RectSpans* spans) {
    const Rect screen = ScreenRectOf(fit, source);
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
    const RowSpans* operator()(int y) const {
        const int64_t i = int64_t{y} - list.top;
        return i >= 0 && i < list.rowCount ? list.rows + i : nullptr;
    }
};

int SpansAreUsable(const ScreenFit* fit, const PictureSpans& spans, int* top, int* bottom) {
    if (!spans.rows || spans.rowCount <= 0) return 0;
    *top = std::max(spans.top, 0);
    *bottom = int(std::min(int64_t{spans.top} + spans.rowCount, int64_t{fit->placement.pictureHeight}));
    return 1;
}

// One screen pixel a picture pixel both ways (centred, the usual window):
// each span's pixels go straight through the table (or as they are, on a
// palette screen), cut to the visible part and the target's area; the
// footprint of a span is the span itself.
bool IsOneToOne(const ScreenFit& fit) {
    const PicturePlacement& p = fit.placement;
    return p.output.width == p.pictureWidth && p.output.height == p.pictureHeight;
}

inline void Convert(const uint8_t* in, const uint32_t* table, int count, uint32_t* out) {
    for (int x = 0; x < count; ++x) out[x] = table[in[x]];
}
inline void Convert(const uint8_t* in, const uint32_t*, int count, uint8_t* out) {
    std::memcpy(out, in, size_t(count));
}

// Each span's columns [from, to) on picture row y, cut to the visible part
// and the area, handed to visit(y, screenY, from, to).
template <typename Visit>
void ForEachRunOneToOne(const ScreenFit& fit, int top, int bottom, const PictureSpans& spans, Rect area, Visit visit) {
    const PicturePlacement& p = fit.placement;
    const Rect v = p.visible;
    const int left = std::max(v.x, area.x), right = std::min(v.x + v.width, area.x + area.width);
    const int upper = std::max(v.y, area.y), lower = std::min(v.y + v.height, area.y + area.height);
    for (int y = top; y < bottom; ++y) {
        const int screenY = y + p.output.y;
        if (screenY < upper || screenY >= lower) continue;
        const RowSpans& row = spans.rows[y - spans.top];
        for (int k = 0; k < row.count; ++k) {
            const int from = std::max({row.spans[k].begin, 0, left - p.output.x});
            const int to = std::min({row.spans[k].end, p.pictureWidth, right - p.output.x});
            if (from < to) visit(y, screenY, from, to);
        }
    }
}

template <typename Pixel>
void WriteSpansOneToOne(const ScreenFit& fit, const Image* picture, const uint32_t* table, int top, int bottom,
                        const PictureSpans& spans, const ScreenPixels<Pixel>& target) {
    const Rect area = target.area;
    const int outputX = fit.placement.output.x;
    ForEachRunOneToOne(fit, top, bottom, spans, area, [&](int y, int screenY, int from, int to) {
        Pixel* out = target.pixels + int64_t{screenY - area.y} * target.pitch - area.x + outputX;
        Convert(PixelAddress(picture, 0, y) + from, table, to - from, out + from);
    });
}

}  // namespace

template <typename Pixel>
int ScalePictureRect(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount], Rect source,
                     const ScreenPixels<Pixel>& target) {
    RectSpans spans;
    if (!Usable(fit, picture, table, target)) return 0;
    if (!RectAsSpans(fit, source, target.area, &spans)) return 0;
    WriteScaled(*fit, picture, table, spans.top, spans.bottom, spans, target);
    return 1;
}

template <typename Pixel>
int ScalePictureSpans(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount],
                      const PictureSpans& spans, const ScreenPixels<Pixel>& target) {
    int top, bottom;
    if (!Usable(fit, picture, table, target)) return 0;
    if (!SpansAreUsable(fit, spans, &top, &bottom)) return 0;
    if (IsOneToOne(*fit)) {
        WriteSpansOneToOne(*fit, picture, table, top, bottom, spans, target);
        return 1;
    }
    WriteScaled(*fit, picture, table, top, bottom, ListedSpans{spans}, target);
    return 1;
}

int AddSpanFootprints(const ScreenFit* fit, const PictureSpans& spans, Rect area, ScreenRuns* runs) {
    int top, bottom;
    if (!fit || !fit->columns || area.width <= 0 || area.height <= 0) return 0;
    if (!SpansAreUsable(fit, spans, &top, &bottom)) return 0;
    const PicturePlacement& p = fit->placement;
    if (IsOneToOne(*fit)) {
        ForEachRunOneToOne(*fit, top, bottom, spans, area, [&](int, int screenY, int from, int to) {
            AddScreenRun(runs, screenY - area.y, p.output.x + from - area.x, p.output.x + to - area.x);
        });
        return 1;
    }
    // The rows and intervals WriteScaled writes.
    SpanWindow<uint32_t, ListedSpans> window(*fit, top, bottom, ListedSpans{spans}, RgbPixels{nullptr, 0, area});
    for (int y = window.y0; y < window.y1; ++y) {
        const Interval* at = nullptr;
        const int count = window.Intervals(fit->rows[y], &at);
        const int row = p.visible.y + y - area.y, left = p.visible.x - area.x;
        for (int k = 0; k < count; ++k) AddScreenRun(runs, row, left + at[k].begin, left + at[k].end);
    }
    return 1;
}

template int ScalePictureRect(const ScreenFit*, const Image*, const uint32_t*, Rect, const RgbPixels&);
template int ScalePictureRect(const ScreenFit*, const Image*, const uint32_t*, Rect, const IndexPixels&);
template int ScalePictureSpans(const ScreenFit*, const Image*, const uint32_t*, const PictureSpans&, const RgbPixels&);
template int ScalePictureSpans(const ScreenFit*, const Image*, const uint32_t*, const PictureSpans&,
                               const IndexPixels&);
