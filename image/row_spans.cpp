// Differing spans of two rows, found a machine word at a time.
#include "image/row_spans.h"

#include "image/short_copy.h"

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
    static_assert(kSpanGap >= 8);
    if (differ == 0) return;
    AddSpan(spans, x + std::countr_zero(differ) / 8, x + 8 - std::countl_zero(differ) / 8);
}

}  // namespace

// Most of a changed rectangle is as it was: 32 bytes are passed over with one
// test, and only a block that differs is looked at word by word. A row's
// last word is aligned to its end and may compare bytes again; a span found
// twice merges with itself.
void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans) {
    spans->count = 0;
    if (width < 8) {
        for (int x = 0; x < width; ++x) {
            if (a[x] != b[x]) AddSpan(spans, offset + x, offset + x + 1);
        }
        return;
    }
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const uint64_t d0 = Word(a + x) ^ Word(b + x), d1 = Word(a + x + 8) ^ Word(b + x + 8);
        const uint64_t d2 = Word(a + x + 16) ^ Word(b + x + 16), d3 = Word(a + x + 24) ^ Word(b + x + 24);
        if ((d0 | d1 | d2 | d3) == 0) continue;
        AddWord(spans, d0, offset + x);
        AddWord(spans, d1, offset + x + 8);
        AddWord(spans, d2, offset + x + 16);
        AddWord(spans, d3, offset + x + 24);
    }
    for (; x + 8 <= width; x += 8) AddWord(spans, Word(a + x) ^ Word(b + x), offset + x);
    if (x < width) AddWord(spans, Word(a + width - 8) ^ Word(b + width - 8), offset + width - 8);
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
