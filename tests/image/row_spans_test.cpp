// Where two rows differ: every differing column inside a span, each span
// starting and ending on a difference, spans apart by more than the gap
// unless the last one had to take in the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
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
// the rows that differed. Pasted by rows with no spans kept, the same block
// comes out and so does every row (some blocks are wider than the columns
// that are gathered at once, 512).
TEST(RowSpansTest, PastedBlocksMatchTheirRowsComparedOneByOne) {
    std::mt19937 random(5);
    for (int round = 0; round < 400; ++round) {
        const int width = round % 4 == 3 ? 500 + int(random() % 600) : int(random() % 90);
        const int height = int(random() % 21), stride = width + int(random() % 5);
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
        std::vector<uint8_t> boxShown = shown;
        const DifferingBlock box =
            PasteDifferingBox(ImageRows{now.data() + top, stride, width, height},
                              ImageRows{boxShown.data() + shownTop, shownStride, width, height}, x, y);
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
        EXPECT_TRUE(boxShown == shown) << "pasted by rows, the bytes differ from pasted by spans";
        EXPECT_EQ(box.columns.begin, block.columns.begin);
        EXPECT_EQ(box.columns.end, block.columns.end);
        EXPECT_EQ(box.rows.begin, block.rows.begin);
        EXPECT_EQ(box.rows.end, block.rows.end);
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

// The box paste at every edge of its shape: one byte differing at the first
// and last rows and columns of a group of rows and of a 16-byte column, at
// the seams of the pieces of 512 columns, in the rows and columns a last
// group or column aligned to the end shares with the one before, and in
// blocks too small for a group, with a second difference far from it or
// none. The block lies inside larger images whose margins must stay as they
// were; the bytes and the box come out as the plain paste leaves them.
TEST(RowSpansTest, PastedBoxesMatchThePlainPasteAtEveryEdge) {
    constexpr int kMargin = 3;
    std::mt19937 random(11);
    for (const int width : {1, 15, 16, 17, 31, 32, 33, 100, 512, 513, 527, 528, 529, 544, 1040}) {
        for (const int height : {1, 7, 8, 9, 15, 16, 17, 24}) {
            const int nowStride = width + 2 * kMargin + 1, shownStride = width + 2 * kMargin + 5;
            const int imageRows = height + 2 * kMargin;
            std::vector<uint8_t> now(size_t(nowStride) * size_t(imageRows)), start(size_t(shownStride) * imageRows);
            for (uint8_t& v : now) v = uint8_t(random() % 3);
            for (uint8_t& v : start) v = uint8_t(random() % 3);
            // Bottom-up: the block's row r, column c, counted from its top left.
            const auto at = [&](int stride, int r, int c) {
                return size_t(imageRows - 1 - kMargin - r) * size_t(stride) + size_t(kMargin + c);
            };
            for (int r = 0; r < height; ++r) {
                for (int c = 0; c < width; ++c) start[at(shownStride, r, c)] = now[at(nowStride, r, c)];
            }
            std::vector<int> columns, rows;
            for (const int c : {0, 1, 14, 15, 16, 17, width - 17, width - 16, width - 15, width - 2, width - 1, 511,
                                512, 513, 527, 528}) {
                if (c >= 0 && c < width) columns.push_back(c);
            }
            for (const int r : {0, 1, 7, 8, 9, height - 9, height - 8, height - 7, height - 1}) {
                if (r >= 0 && r < height) rows.push_back(r);
            }
            const size_t cases = columns.size() * rows.size();
            for (size_t i = 0; i <= cases; ++i) {
                // Case i changes one byte, the odd ones a second, the last none.
                std::vector<uint8_t> shown = start;
                if (i < cases) shown[at(shownStride, rows[i % rows.size()], columns[i / rows.size()])] ^= 8;
                if (i < cases && i % 2 == 1) {
                    shown[at(shownStride, rows[(i + 3) % rows.size()], columns[(i * 7) % columns.size()])] ^= 16;
                }
                std::vector<uint8_t> plain = shown;
                uint8_t* nowTop = now.data() + at(nowStride, 0, 0);
                const DifferingBlock box = PasteDifferingBox(
                    ImageRows{nowTop, nowStride, width, height},
                    ImageRows{shown.data() + at(shownStride, 0, 0), shownStride, width, height}, 9, 4);
                const DifferingBlock block = PasteDifferingRows(
                    ImageRows{nowTop, nowStride, width, height},
                    ImageRows{plain.data() + at(shownStride, 0, 0), shownStride, width, height}, 9, 4, nullptr);
                SCOPED_TRACE(testing::Message() << width << " x " << height << ", case " << i);
                ASSERT_TRUE(shown == plain) << "the bytes differ from the plain paste's, margins included";
                EXPECT_EQ(std::tie(box.columns.begin, box.columns.end, box.rows.begin, box.rows.end),
                          std::tie(block.columns.begin, block.columns.end, block.rows.begin, block.rows.end));
            }
        }
    }
}

}  // namespace
