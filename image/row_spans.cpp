// Differing spans of two rows, found a machine word at a time.
#include "image/row_spans.h"

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
            last.end = end;
            return;
        }
    }
    s->spans[s->count++] = ColumnSpan{begin, end};
}

}  // namespace

void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans) {
    spans->count = 0;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        uint64_t wa, wb;
        std::memcpy(&wa, a + x, 8);
        std::memcpy(&wb, b + x, 8);
        const uint64_t differ = wa ^ wb;
        if (differ == 0) continue;
        // A word's own unchanged bytes are fewer than the gap: one span.
        static_assert(kSpanGap >= 8);
        const int first = std::countr_zero(differ) / 8, last = 7 - std::countl_zero(differ) / 8;
        AddSpan(spans, offset + x + first, offset + x + last + 1);
    }
    for (; x < width; ++x) {
        if (a[x] != b[x]) AddSpan(spans, offset + x, offset + x + 1);
    }
}
