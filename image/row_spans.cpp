// Differing spans of two rows, found 16 bytes at a time.
#include "image/row_spans.h"

#include "image/short_copy.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cstring>

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

#ifdef __SSE2__
// Bit k set where byte k of the 16 at `a` and at `b` differ.
unsigned DifferingBytes(const uint8_t* a, const uint8_t* b) {
    const __m128i same = _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)),
                                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
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
unsigned DifferingBytes(const uint8_t* a, const uint8_t* b) {
    return NonZeroBytes(Word(a) ^ Word(b)) | NonZeroBytes(Word(a + 8) ^ Word(b + 8)) << 8;
}
#endif

// The same for 16 bytes: their unchanged bytes inside a span are at most 14,
// fewer than the gap.
void AddBlock(RowSpans* spans, unsigned differ, int x) {
    static_assert(kSpanGap >= 14);
    if (differ == 0) return;
    AddSpan(spans, x + std::countr_zero(differ), x + 32 - std::countl_zero(differ));
}

}  // namespace

// Most of a changed rectangle is as it was: 32 bytes are passed over with one
// test, and only a block that differs is looked at. A row's last block is
// aligned to its end and may compare bytes again; a span found twice merges
// with itself.
void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans) {
    spans->count = 0;
    if (width < 16) {
        if (width >= 8) {
            AddWord(spans, Word(a) ^ Word(b), offset);
            AddWord(spans, Word(a + width - 8) ^ Word(b + width - 8), offset + width - 8);
            return;
        }
        for (int x = 0; x < width; ++x) {
            if (a[x] != b[x]) AddSpan(spans, offset + x, offset + x + 1);
        }
        return;
    }
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const unsigned d0 = DifferingBytes(a + x, b + x), d1 = DifferingBytes(a + x + 16, b + x + 16);
        if ((d0 | d1) == 0) continue;
        AddBlock(spans, d0, offset + x);
        AddBlock(spans, d1, offset + x + 16);
    }
    if (x + 16 <= width) {
        AddBlock(spans, DifferingBytes(a + x, b + x), offset + x);
        x += 16;
    }
    if (x < width) AddBlock(spans, DifferingBytes(a + width - 16, b + width - 16), offset + width - 16);
}

DifferingBlock PasteDifferingRows(const uint8_t* now, int nowStride, uint8_t* shown, int shownStride, int x, int y,
                                  int width, int height, RowSpans* spans) {
    DifferingBlock block = {{x + width, x}, {y + height, y}};
    for (int row = 0; row < height; ++row, now -= nowStride, shown -= shownStride) {
        RowSpans local;
        RowSpans& found = spans != nullptr ? spans[row] : local;
        FindDifferingSpans(now, shown, width, x, &found);
        if (found.count == 0) continue;
        for (int k = 0; k < found.count; ++k) {
            const int from = found.spans[k].begin - x;
            CopyShort(shown + from, now + from, found.spans[k].end - found.spans[k].begin);
        }
        block.columns = {std::min(block.columns.begin, found.spans[0].begin),
                         std::max(block.columns.end, found.spans[found.count - 1].end)};
        block.rows = {std::min(block.rows.begin, y + row), y + row + 1};
    }
    return block;
}
