// Differing spans of two rows, found 16 bytes at a time.
#include "image/row_spans.h"

#include "image/short_copy.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <type_traits>

namespace {

static_assert(std::endian::native == std::endian::little, "the first differing byte is the lowest one");

// Adds [begin, end) after the spans so far: joined to the last when the gap
// between them is short, or when no room is left.
void AddSpan(RowSpans* s, int begin, int end) {
    if (s->count > 0) {
        ColumnSpan& last = s->spans[s->count - 1];
        if (begin - last.end <= kSpanGap || s->count == kMaxRowSpans) {
            last.end = std::max(last.end, end);
            return;
        }
    }
    s->spans[s->count++] = ColumnSpan{begin, end};
}

uint64_t Word(const uint8_t* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// The bytes of one word that differ, as a span: a word's own unchanged bytes
// are fewer than the gap, so they never split it.
void AddWord(RowSpans* spans, uint64_t differ, int x) {
    if (differ == 0) return;
    AddSpan(spans, x + std::countr_zero(differ) / 8, x + 8 - std::countl_zero(differ) / 8);
}

// Where `b` may be written (Shown not const), the bytes read from `a` are
// stored over `b`'s as they are compared: the differing ones are pasted, the
// equal ones change nothing, and no second pass reads the rows again.
template <typename Shown>
constexpr bool kPastes = !std::is_const_v<Shown>;

#ifdef __SSE2__
// Bit k set where byte k of the 16 at `a` and at `b` differ.
template <typename Shown>
unsigned DifferingBytes(const uint8_t* a, Shown* b) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a));
    const __m128i same = _mm_cmpeq_epi8(in, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
    if constexpr (kPastes<Shown>) _mm_storeu_si128(reinterpret_cast<__m128i*>(b), in);
    return ~unsigned(_mm_movemask_epi8(same)) & 0xFFFFu;
}
#else
// Bit k set where byte k of a word is not zero.
unsigned NonZeroBytes(uint64_t word) {
    word |= word >> 4;
    word |= word >> 2;
    word |= word >> 1;
    return unsigned(((word & 0x0101010101010101u) * 0x0102040810204080u) >> 56);
}

// The same without SSE2 (the WebAssembly build), a word at a time.
template <typename Shown>
unsigned DifferingBytes(const uint8_t* a, Shown* b) {
    const unsigned differ = NonZeroBytes(Word(a) ^ Word(b)) | NonZeroBytes(Word(a + 8) ^ Word(b + 8)) << 8;
    if constexpr (kPastes<Shown>) std::memcpy(b, a, 16);
    return differ;
}
#endif

// The same for 16 bytes: their unchanged bytes inside a span are at most 14,
// fewer than the gap.
void AddBlock(RowSpans* spans, unsigned differ, int x) {
    static_assert(kSpanGap >= 14);
    if (differ == 0) return;
    AddSpan(spans, x + std::countr_zero(differ), x + 32 - std::countl_zero(differ));
}

// A row narrower than a block: two words that may overlap, or byte by byte.
void FindNarrowSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans) {
    spans->count = 0;
    if (width >= 8) {
        AddWord(spans, Word(a) ^ Word(b), offset);
        AddWord(spans, Word(a + width - 8) ^ Word(b + width - 8), offset + width - 8);
        return;
    }
    for (int x = 0; x < width; ++x) {
        if (a[x] != b[x]) AddSpan(spans, offset + x, offset + x + 1);
    }
}

// Rows are compared up to eight at a time (kRowGroup), a 16-byte column of
// them before the next: the loads of a column wait on nothing, and where
// all the rows are equal there (most of a changed rectangle) one test
// passes over them. A row's last block is aligned to its end and may compare
// bytes again; a span found twice merges with itself. Row r of `now` is
// r strides below its first (bottom-up images), likewise `shown`; when
// `shown` is writable, the rows are pasted as they are read.
constexpr int kRowGroup = 8;

template <typename Shown>
void FindGroupSpans(const uint8_t* now, int nowStride, Shown* shown, int shownStride, int width, int rows, int offset,
                    RowSpans* found) {
    if (width < 16) {
        for (int r = 0; r < rows; ++r) {
            FindNarrowSpans(now - r * nowStride, shown - r * shownStride, width, offset, found + r);
            if constexpr (kPastes<Shown>) CopyShort(shown - r * shownStride, now - r * nowStride, width);
        }
        return;
    }
    for (int r = 0; r < rows; ++r) found[r].count = 0;
    const auto column = [&](int x) {
        unsigned differ[kRowGroup], any = 0;
        for (int r = 0; r < rows; ++r) {
            differ[r] = DifferingBytes(now - r * nowStride + x, shown - r * shownStride + x);
            any |= differ[r];
        }
        if (any == 0) return;
        for (int r = 0; r < rows; ++r) AddBlock(found + r, differ[r], offset + x);
    };
    int x = 0;
    for (; x + 16 <= width; x += 16) column(x);
    if (x < width) column(width - 16);
}

// 16 bytes as two words: XOR and OR need no instruction set beyond the
// compiler's own vectors (the WebAssembly build's too).
typedef uint64_t Bytes16 __attribute__((vector_size(16)));

Bytes16 Load16(const uint8_t* p) {
    Bytes16 bytes;
    std::memcpy(&bytes, p, sizeof bytes);
    return bytes;
}

// The first and one past the last byte of 16 that is not 0 (some is).
int FirstNonZero(Bytes16 d) { return d[0] ? std::countr_zero(d[0]) / 8 : 8 + std::countr_zero(d[1]) / 8; }
int EndNonZero(Bytes16 d) { return d[1] ? 16 - std::countl_zero(d[1]) / 8 : 8 - std::countl_zero(d[0]) / 8; }

bool AnyNonZero(Bytes16 d) { return (d[0] | d[1]) != 0; }

// Rows compared together (a tile's height: most parts are one tile high):
// each row's and each 16-byte column's differences gather in registers as
// the group is read down a column at a time, so nothing is stored and
// loaded again a row.
constexpr int kBoxRows = 8;

// Columns compared at once, which bounds the record of their differences.
constexpr int kBoxColumns = 512;
static_assert(kBoxColumns / 16 + 2 <= 64, "a piece's 16-byte columns are bits of a word");

// kBoxRows rows of columns [0, width) of a block (width at least 16, the
// last 16-byte column aligned to the end), their first column x and row y,
// copied from `now` into `shown` as they are compared (equal bytes change
// nothing, and a test a row would mispredict: about half the rows of a part
// differ): the box of their differences joins `box`.
void PasteBoxRowGroup(const uint8_t* now, std::ptrdiff_t nowStride, uint8_t* shown, std::ptrdiff_t shownStride,
                      int width, int x, int y, DifferingBlock* box) {
    Bytes16 rows[kBoxRows] = {};
    Bytes16 columns[kBoxColumns / 16 + 2];
    const int count = (width + 15) / 16;
    uint64_t differing = 0;  // bit j for 16-byte column j
    for (int j = 0; j < count; ++j) {
        const int at = std::min(16 * j, width - 16);
        Bytes16 column = {};
#pragma GCC unroll 8
        for (int r = 0; r < kBoxRows; ++r) {
            const Bytes16 in = Load16(now - r * nowStride + at);
            const Bytes16 d = in ^ Load16(shown - r * shownStride + at);
            std::memcpy(shown - r * shownStride + at, &in, sizeof in);
            rows[r] |= d;
            column |= d;
        }
        columns[j] = column;
        differing |= uint64_t{AnyNonZero(column)} << j;
    }
    if (differing == 0) return;
    const int first = std::countr_zero(differing), last = 63 - std::countl_zero(differing);
    unsigned differingRows = 0;
    for (int r = 0; r < kBoxRows; ++r) differingRows |= unsigned(AnyNonZero(rows[r])) << r;
    box->columns = {std::min(box->columns.begin, x + std::min(16 * first, width - 16) + FirstNonZero(columns[first])),
                    std::max(box->columns.end, x + std::min(16 * last, width - 16) + EndNonZero(columns[last]))};
    box->rows = {std::min(box->rows.begin, y + std::countr_zero(differingRows)),
                 std::max(box->rows.end, y + int(std::bit_width(differingRows)))};
}

}  // namespace

void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans) {
    FindGroupSpans(a, 0, b, 0, width, 1, offset, spans);
}

DifferingBlock PasteDifferingBox(const ImageRows& now, const ImageRows& shown, int x, int y) {
    const int width = now.width, height = now.height;
    if (width < 16 || height < kBoxRows) return PasteDifferingRows(now, shown, x, y, nullptr);
    DifferingBlock box = {{x + width, x}, {y + height, y}};
    for (int from = 0; from < width;) {
        // A last piece narrower than a block goes with the one before.
        const int columns = width - from <= kBoxColumns + 16 ? width - from : kBoxColumns;
        // The last group is aligned to the block's bottom: rows it shares
        // with the group above were pasted and now compare equal.
        for (int top = 0; top < height; top += kBoxRows) {
            const int row = std::min(top, height - kBoxRows);
            PasteBoxRowGroup(now.topRow - std::ptrdiff_t{row} * now.stride + from, now.stride,
                             shown.topRow - std::ptrdiff_t{row} * shown.stride + from, shown.stride, columns, x + from,
                             y + row, &box);
        }
        from += columns;
    }
    return box;
}

DifferingBlock PasteDifferingRows(const ImageRows& nowRows, const ImageRows& shownRows, int x, int y, RowSpans* spans) {
    const uint8_t* now = nowRows.topRow;
    uint8_t* shown = shownRows.topRow;
    const int nowStride = nowRows.stride, shownStride = shownRows.stride;
    const int width = nowRows.width, height = nowRows.height;
    DifferingBlock block = {{x + width, x}, {y + height, y}};
    for (int top = 0; top < height; top += kRowGroup) {
        const int rows = std::min(kRowGroup, height - top);
        RowSpans local[kRowGroup];
        RowSpans* found = spans != nullptr ? spans + top : local;
        const uint8_t* nowTop = now - std::ptrdiff_t{top} * nowStride;
        uint8_t* shownTop = shown - std::ptrdiff_t{top} * shownStride;
        // Pasted as compared: no row is read again for its spans.
        FindGroupSpans(nowTop, nowStride, shownTop, shownStride, width, rows, x, found);
        for (int row = 0; row < rows; ++row) {
            const RowSpans& here = found[row];
            if (here.count == 0) continue;
            const ColumnSpan all{here.spans[0].begin, here.spans[here.count - 1].end};
            block.columns = {std::min(block.columns.begin, all.begin), std::max(block.columns.end, all.end)};
            block.rows = {std::min(block.rows.begin, y + top + row), y + top + row + 1};
        }
    }
    return block;
}
