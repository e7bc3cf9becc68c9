// Where two rows differ: every differing column inside a span, each span
// starting and ending on a difference, spans apart by more than the gap
// unless the last one had to take in the rest.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/row_spans.h"

namespace {

void ExpectSpansOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int offset, const RowSpans& s)
{
    const int width = int(a.size());
    ASSERT_TRUE(s.count >= 0 && s.count <= kMaxRowSpans);
    std::vector<int> covered(a.size(), 0);
    for (int k = 0; k < s.count; ++k) {
        const int begin = s.spans[k].begin - offset, end = s.spans[k].end - offset;
        ASSERT_TRUE(begin >= 0 && begin < end && end <= width) << "span " << k;
        EXPECT_NE(a[begin], b[begin]) << "span " << k << " starts on an equal pixel";
        EXPECT_NE(a[end - 1], b[end - 1]) << "span " << k << " ends on an equal pixel";
        if (k > 0) {
            const int gap = begin - (s.spans[k - 1].end - offset);
            EXPECT_GT(gap, kSpanGap) << "spans " << k - 1 << " and " << k << " should be one";
        }
        for (int x = begin; x < end; ++x) covered[size_t(x)] = 1;
    }
    for (int x = 0; x < width; ++x) {
        if (a[size_t(x)] != b[size_t(x)]) {
            ASSERT_TRUE(covered[size_t(x)]) << "column " << x << " differs outside";
        }
    }
}

TEST(RowSpansTest, DifferencesAreCoveredTightlyInAFewSpans)
{
    // Rows of width w with the listed columns changed.
    struct Case {
        int width;
        std::vector<int> changed;
        int spans;
    };
    const Case cases[] = {
        {64, {}, 0},
        {64, {0}, 1},
        {64, {63}, 1},
        {13, {12}, 1},                            // in the tail after the last whole word
        {64, {3, 3 + kSpanGap + 1}, 1},           // a gap of kSpanGap
        {80, {3, 3 + kSpanGap + 2}, 2},           // one more
        {200, {0, 40, 80, 120}, 4},
        {240, {0, 40, 80, 120, 160, 200}, 4},     // the last takes in the rest
        {7, {0, 6}, 1},
        {0, {}, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> a(size_t(c.width), 9), b = a;
        for (int x : c.changed) b[size_t(x)] = 10;
        RowSpans spans{};
        FindDifferingSpans(a.data(), b.data(), c.width, 100, &spans);
        SCOPED_TRACE(testing::Message() << "width " << c.width << ", " << c.changed.size() << " changed");
        EXPECT_EQ(spans.count, c.spans);
        ExpectSpansOf(a, b, 100, spans);
    }
    std::mt19937 random(3);
    for (int round = 0; round < 500; ++round) {
        const int width = int(random() % 300);
        std::vector<uint8_t> a(static_cast<size_t>(width));
        for (uint8_t& v : a) v = uint8_t(random() % 4);
        std::vector<uint8_t> b = a;
        for (int n = int(random() % 8); n > 0 && width > 0; --n) b[random() % size_t(width)] ^= 1;
        RowSpans spans{};
        const int offset = int(random() % 50);
        FindDifferingSpans(a.data(), b.data(), width, offset, &spans);
        ExpectSpansOf(a, b, offset, spans);
    }
}

}  // namespace
