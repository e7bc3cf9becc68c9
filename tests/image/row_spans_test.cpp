// Where two rows differ: every differing column inside a span, each span
// starting and ending on a difference, spans apart by more than the gap
// unless the last one had to take in the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "image/row_spans.h"

namespace {

void ExpectSpansOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int offset, const RowSpans& s) {
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

TEST(RowSpansTest, DifferencesAreCoveredTightlyInAFewSpans) {
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
        {13, {12}, 1},                   // in the tail after the last whole word
        {64, {3, 3 + kSpanGap + 1}, 1},  // a gap of kSpanGap
        {80, {3, 3 + kSpanGap + 2}, 2},  // one more
        {200, {0, 40, 80, 120}, 4},
        {240, {0, 40, 80, 120, 160, 200}, 4},  // the last takes in the rest
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
    // One bit of one byte changed, each bit at each place of a row of
    // blocks, of a row of two words and of one narrower than a word.
    for (int width : {48, 13, 5}) {
        for (int x = 0; x < width; ++x) {
            for (int bit = 0; bit < 8; ++bit) {
                std::vector<uint8_t> a(size_t(width), 0x5A), b = a;
                b[size_t(x)] ^= uint8_t(1 << bit);
                RowSpans spans{};
                FindDifferingSpans(a.data(), b.data(), width, 0, &spans);
                ASSERT_EQ(spans.count, 1) << "width " << width << ", bit " << bit << " of column " << x;
                EXPECT_EQ(spans.spans[0].begin, x) << "width " << width << ", bit " << bit;
                EXPECT_EQ(spans.spans[0].end, x + 1) << "width " << width << ", bit " << bit;
            }
        }
    }
    std::mt19937 random(3);
    for (int round = 0; round < 500; ++round) {
        const int width = int(random() % 300);
        std::vector<uint8_t> a(static_cast<size_t>(width));
        for (uint8_t& v : a) v = uint8_t(random() % 4);
        std::vector<uint8_t> b = a;
        for (int n = int(random() % 8); n > 0 && width > 0; --n)
            b[random() % size_t(width)] ^= uint8_t(1 << random() % 8);
        RowSpans spans{};
        const int offset = int(random() % 50);
        FindDifferingSpans(a.data(), b.data(), width, offset, &spans);
        ExpectSpansOf(a, b, offset, spans);
    }
}

// A block of rows pasted eight at a time between rows of different strides:
// each row's spans are those its row compared alone has, the differing bytes
// end up copied and nothing else is written, and the block reported bounds
// the rows that differed.
TEST(RowSpansTest, PastedBlocksMatchTheirRowsComparedOneByOne) {
    std::mt19937 random(5);
    for (int round = 0; round < 300; ++round) {
        const int width = int(random() % 90), height = int(random() % 21), stride = width + int(random() % 5);
        const int shownStride = width + int(random() % 5);
        const int x = int(random() % 30), y = int(random() % 30);
        // Bottom-up rows with a guard byte after each image: row 0 is the last in memory.
        std::vector<uint8_t> now(size_t(stride) * size_t(height) + 1), shown(size_t(shownStride) * size_t(height) + 1);
        for (uint8_t& v : now) v = uint8_t(random() % 3);
        for (uint8_t& v : shown) v = uint8_t(random() % 3);
        const size_t top = size_t(stride) * size_t(std::max(height - 1, 0));
        const size_t shownTop = size_t(shownStride) * size_t(std::max(height - 1, 0));
        const auto nowRow = [&](int row) { return now.data() + top - size_t(row) * size_t(stride); };
        const auto shownRow = [&](int row) { return size_t(shownTop - size_t(row) * size_t(shownStride)); };
        for (int row = 0; row < height; ++row)
            std::copy(nowRow(row), nowRow(row) + width, shown.begin() + shownRow(row));
        for (int n = int(random() % 12); n > 0 && width > 0 && height > 0; --n) {
            now[size_t(int(random() % unsigned(height)) * stride + int(random() % unsigned(width)))] ^= 4;
        }
        const std::vector<uint8_t> before = shown;
        std::vector<RowSpans> spans(size_t(height) + 1);
        const DifferingBlock block =
            PasteDifferingRows(ImageRows{now.data() + top, stride, width, height},
                               ImageRows{shown.data() + shownTop, shownStride, width, height}, x, y, spans.data());
        SCOPED_TRACE(testing::Message() << "round " << round << ": " << width << " x " << height);
        DifferingBlock expected = {{x + width, x}, {y + height, y}};
        for (int row = 0; row < height; ++row) {
            const size_t at = shownRow(row);
            RowSpans alone{};
            FindDifferingSpans(nowRow(row), before.data() + at, width, x, &alone);
            ASSERT_EQ(spans[size_t(row)].count, alone.count) << "row " << row;
            for (int k = 0; k < alone.count; ++k) {
                EXPECT_EQ(spans[size_t(row)].spans[k].begin, alone.spans[k].begin) << "row " << row;
                EXPECT_EQ(spans[size_t(row)].spans[k].end, alone.spans[k].end) << "row " << row;
            }
            if (alone.count > 0) {
                expected.columns = {std::min(expected.columns.begin, alone.spans[0].begin),
                                    std::max(expected.columns.end, alone.spans[alone.count - 1].end)};
                expected.rows = {std::min(expected.rows.begin, y + row), y + row + 1};
            }
            for (int c = 0; c < width; ++c) ASSERT_EQ(shown[at + size_t(c)], nowRow(row)[c]) << "row " << row;
            for (int c = width; c < shownStride; ++c) ASSERT_EQ(shown[at + size_t(c)], before[at + size_t(c)]);
        }
        EXPECT_EQ(shown.back(), before.back());
        if (expected.columns.end > expected.columns.begin) {
            EXPECT_EQ(block.columns.begin, expected.columns.begin);
            EXPECT_EQ(block.columns.end, expected.columns.end);
            EXPECT_EQ(block.rows.begin, expected.rows.begin);
            EXPECT_EQ(block.rows.end, expected.rows.end);
        } else {
            EXPECT_LE(block.columns.end, block.columns.begin) << "nothing differed";
        }
    }
}

// Blocks pasted where marks say rows were drawn on, on random strips and at
// every edge: a chunk cut by the block's left or right side, blocks
// narrower than a chunk, marks starting anywhere in a chunk and near the
// last of the 64 chunks. Every marked difference is found and pasted; shown
// changes only inside spans, where it now equals `now`; spans start and end
// on differences; the block bounds the rows with spans.
TEST(RowSpansTest, MarkedBlocksPasteEveryMarkedDifference) {
    struct Case {
        int width, height, firstColumn;
    };
    std::vector<Case> cases = {{16, 1, 0},  {17, 3, 15}, {5, 4, 3},    {15, 2, 1000}, {40, 9, 1000},
                               {90, 20, 7}, {64, 8, 16}, {33, 5, 990}, {0, 3, 0},     {48, 1, 1008}};
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round)
        cases.push_back({int(random() % 100), int(random() % 30), int(random() % 1024)});
    int found = 0;
    for (const Case& c : cases) {
        const int width = c.width, height = c.height;
        const int stride = width + int(random() % 5), shownStride = width + 3 + int(random() % 5);
        const int x = int(random() % 30), y = int(random() % 30);
        SCOPED_TRACE(testing::Message() << width << " x " << height << " from mark column " << c.firstColumn);
        // Bottom-up rows with a guard byte after each image, as above.
        std::vector<uint8_t> now(size_t(stride) * size_t(height) + 1), shown(size_t(shownStride) * size_t(height) + 1);
        for (uint8_t& v : now) v = uint8_t(random() % 3);
        for (uint8_t& v : shown) v = uint8_t(random() % 3);
        const size_t top = size_t(stride) * size_t(std::max(height - 1, 0));
        const size_t shownTop = size_t(shownStride) * size_t(std::max(height - 1, 0));
        const auto at = [&](int row, int column) {
            return shownTop - size_t(row) * size_t(shownStride) + size_t(column);
        };
        const auto nowAt = [&](int row, int column) {
            return now[top - size_t(row) * size_t(stride) + size_t(column)];
        };
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) shown[at(row, column)] = nowAt(row, column);
        for (int n = int(random() % 20); n > 0 && width > 0 && height > 0; --n)
            now[size_t(int(random() % unsigned(height)) * stride + int(random() % unsigned(width)))] ^= 4;
        // Marks in two maps: some rows none, some all, most a few chunks.
        std::vector<uint64_t> a(static_cast<size_t>(height)), b(static_cast<size_t>(height));
        for (int row = 0; row < height; ++row) {
            const unsigned kind = random() % 4;
            a[size_t(row)] = kind == 0   ? 0
                             : kind == 1 ? ~uint64_t{0}
                                         : (uint64_t{random()} << 32 | random()) & random();
            b[size_t(row)] = kind == 2 ? uint64_t{1} << (random() % 64) : 0;
        }
        const auto marked = [&](int row, int column) {
            const int chunk = (c.firstColumn + column) / kMarkChunk;
            return width < kMarkChunk || (chunk < 64 && ((a[size_t(row)] | b[size_t(row)]) >> chunk & 1));
        };
        const std::vector<uint8_t> before = shown;
        std::vector<RowSpans> spans(size_t(height) + 1);
        const DifferingBlock block =
            PasteMarkedRows(ImageRows{now.data() + top, stride, width, height},
                            ImageRows{shown.data() + shownTop, shownStride, width, height},
                            ColumnMarks{a.data(), b.data(), c.firstColumn}, x, y, spans.data());
        DifferingBlock expected = {{x + width, x}, {y + height, y}};
        for (int row = 0; row < height; ++row) {
            const RowSpans& s = spans[size_t(row)];
            ASSERT_TRUE(s.count >= 0 && s.count <= kMaxRowSpans) << "row " << row;
            std::vector<int> inSpan(size_t(width), 0);
            for (int k = 0; k < s.count; ++k) {
                const int begin = s.spans[k].begin - x, end = s.spans[k].end - x;
                ASSERT_TRUE(begin >= 0 && begin < end && end <= width) << "row " << row << " span " << k;
                EXPECT_NE(nowAt(row, begin), before[at(row, begin)]) << "row " << row << " span " << k;
                EXPECT_NE(nowAt(row, end - 1), before[at(row, end - 1)]) << "row " << row << " span " << k;
                if (k > 0 && s.count < kMaxRowSpans) {
                    EXPECT_GT(begin - (s.spans[k - 1].end - x), kSpanGap) << "row " << row << " span " << k;
                }
                for (int column = begin; column < end; ++column) inSpan[size_t(column)] = 1;
            }
            for (int column = 0; column < width; ++column) {
                const bool differed = nowAt(row, column) != before[at(row, column)];
                if (differed && marked(row, column)) {
                    ASSERT_TRUE(inSpan[size_t(column)]) << "missed " << row << ", " << column;
                }
                if (inSpan[size_t(column)]) {
                    ASSERT_EQ(shown[at(row, column)], nowAt(row, column)) << row << ", " << column;
                } else {
                    ASSERT_EQ(shown[at(row, column)], before[at(row, column)]) << row << ", " << column;
                }
                found += differed && marked(row, column);
            }
            for (int column = width; column < shownStride; ++column)
                ASSERT_EQ(shown[at(row, column)], before[at(row, column)]) << "past the block, row " << row;
            if (s.count > 0) {
                expected.columns = {std::min(expected.columns.begin, s.spans[0].begin),
                                    std::max(expected.columns.end, s.spans[s.count - 1].end)};
                expected.rows = {std::min(expected.rows.begin, y + row), y + row + 1};
            }
        }
        EXPECT_EQ(shown.back(), before.back());
        if (expected.columns.end > expected.columns.begin) {
            EXPECT_TRUE(block.columns.begin == expected.columns.begin && block.columns.end == expected.columns.end &&
                        block.rows.begin == expected.rows.begin && block.rows.end == expected.rows.end);
        } else {
            EXPECT_LE(block.columns.end, block.columns.begin) << "nothing differed";
        }
    }
    EXPECT_GT(found, 1000) << "too few marked differences to tell";
}

}  // namespace
