// Facts about the RLE8 decoder: every code of the encoding, and malformed
// streams kept as inline byte arrays. The buffer is followed by guard bytes
// so that any write past it shows.
#include <gtest/gtest.h>

#include "test_images.h"

namespace {

constexpr uint8_t kUnwritten = 0xAA;
constexpr uint8_t kGuard = 0x5A;
constexpr size_t kGuardBytes = 32;

struct Decoded {
    int width, height, stride;
    std::vector<uint8_t> buffer;  // stride x height bytes, then the guard

    // Stored row `row` (0 = bottom), first `width` bytes.
    std::vector<uint8_t> Row(int row) const {
        return std::vector<uint8_t>(buffer.begin() + row * stride, buffer.begin() + row * stride + width);
    }
    bool GuardIntact() const {
        for (size_t i = size_t(stride) * height; i < buffer.size(); ++i)
            if (buffer[i] != kGuard) return false;
        return true;
    }
    bool PaddingUntouched() const {
        for (int r = 0; r < height; ++r)
            for (int c = width; c < stride; ++c)
                if (buffer[r * stride + c] != kUnwritten) return false;
        return true;
    }
};

Decoded Decode(int width, int height, const std::vector<uint8_t>& stream) {
    ImageHeader header{};
    header.info = DibInfo(width, height, kBiRle8, 0);
    Decoded d{width, height, (width + 3) & ~3, {}};
    d.buffer.assign(size_t(d.stride) * height, kUnwritten);
    d.buffer.resize(d.buffer.size() + kGuardBytes, kGuard);
    // A heap copy of exactly the stream's size, so a read past it is caught
    // by the address sanitizer.
    std::vector<uint8_t> source(stream);
    DecodeRle8(source.data(), source.size(), d.buffer.data(), &header);
    return d;
}

using Row = std::vector<uint8_t>;
constexpr uint8_t U = kUnwritten;

}  // namespace

TEST(DecodeRle8, EncodedRunRepeatsAColour) {
    Decoded d = Decode(5, 1, {3, 7, 2, 8, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{7, 7, 7, 8, 8}));
    EXPECT_TRUE(d.PaddingUntouched());
}

TEST(DecodeRle8, OddAbsoluteRunSkipsOnePadByte) {
    // 3 literal bytes, pad 0xFF, then a run of two 4s.
    Decoded d = Decode(5, 1, {0, 3, 1, 2, 3, 0xFF, 2, 4, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 2, 3, 4, 4}));
}

TEST(DecodeRle8, EvenAbsoluteRunHasNoPadByte) {
    // 4 literal bytes, then directly a run of one 9.
    Decoded d = Decode(5, 1, {0, 4, 1, 2, 3, 4, 1, 9, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 2, 3, 4, 9}));
}

TEST(DecodeRle8, EndOfLineAfterAFullRowSkipsNoRow) {
    Decoded d = Decode(4, 3, {4, 1, 0, 0, 4, 2, 0, 0, 4, 3, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 1, 1, 1}));
    EXPECT_EQ(d.Row(1), (Row{2, 2, 2, 2}));
    EXPECT_EQ(d.Row(2), (Row{3, 3, 3, 3}));
}

TEST(DecodeRle8, EndOfLineAtColumnZeroLeavesThatRowUnwritten) {
    Decoded d = Decode(4, 3, {4, 1, 0, 0, 0, 0, 4, 3, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 1, 1, 1}));
    EXPECT_EQ(d.Row(1), (Row{U, U, U, U}));
    EXPECT_EQ(d.Row(2), (Row{3, 3, 3, 3}));
}

TEST(DecodeRle8, EndOfLineInMidRowLeavesTheRestOfTheRow) {
    Decoded d = Decode(4, 2, {2, 1, 0, 0, 1, 2, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 1, U, U}));
    EXPECT_EQ(d.Row(1), (Row{2, U, U, U}));
}

TEST(DecodeRle8, DeltaMovesRightAndUp) {
    // One 5 at (0,0), delta (2, 1), one 6 at column 3 of row 1.
    Decoded d = Decode(4, 2, {1, 5, 0, 2, 2, 1, 1, 6, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{5, U, U, U}));
    EXPECT_EQ(d.Row(1), (Row{U, U, U, 6}));
}

TEST(DecodeRle8, EndOfBitmapStopsDecoding) {
    Decoded d = Decode(4, 1, {1, 5, 0, 1, 3, 6});
    EXPECT_EQ(d.Row(0), (Row{5, U, U, U}));
}

TEST(DecodeRle8, StreamWithoutEndCodeStopsAtItsLastByte) {
    // The trailing lone byte is half a code and is not read as one.
    Decoded d = Decode(4, 1, {2, 5, 1});
    EXPECT_EQ(d.Row(0), (Row{5, 5, U, U}));
    EXPECT_TRUE(d.GuardIntact());
}

// Malformed streams: each must stop without writing outside the row or the
// buffer and without reading past the stream (the sanitizer build checks the
// reads). What was decoded before the bad code stays.
TEST(DecodeRle8, RunPastTheRowEndStopsDecoding) {
    Decoded d = Decode(4, 2, {2, 1, 3, 2, 4, 3, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 1, U, U}));
    EXPECT_EQ(d.Row(1), (Row{U, U, U, U})) << "a run must not spill into the next row";
    EXPECT_TRUE(d.PaddingUntouched());
    EXPECT_TRUE(d.GuardIntact());
}

TEST(DecodeRle8, AbsoluteRunPastTheRowEndStopsDecoding) {
    Decoded d = Decode(3, 1, {0, 5, 1, 2, 3, 4, 5, 0});
    EXPECT_EQ(d.Row(0), (Row{U, U, U}));
    EXPECT_TRUE(d.PaddingUntouched());
}

TEST(DecodeRle8, AbsoluteRunLongerThanTheStreamStopsDecoding) {
    Decoded d = Decode(8, 1, {1, 9, 0, 6, 1, 2, 3});
    EXPECT_EQ(d.Row(0), (Row{9, U, U, U, U, U, U, U}));
}

TEST(DecodeRle8, OddAbsoluteRunAtTheStreamEndWithoutPadByte) {
    Decoded d = Decode(4, 1, {0, 3, 1, 2, 3});
    EXPECT_EQ(d.Row(0), (Row{1, 2, 3, U}));
}

TEST(DecodeRle8, RowsAboveTheTopAreNeverWritten) {
    // Two rows of 2 pixels, then an end of line too many and more runs.
    Decoded d = Decode(2, 2, {2, 1, 0, 0, 2, 2, 0, 0, 2, 3, 0, 0, 0, 0, 2, 4, 0, 1});
    EXPECT_EQ(d.Row(0), (Row{1, 1}));
    EXPECT_EQ(d.Row(1), (Row{2, 2}));
    EXPECT_TRUE(d.GuardIntact());
}

TEST(DecodeRle8, DeltaOutsideThePictureWritesNothingThere) {
    Decoded right = Decode(4, 2, {0, 2, 200, 0, 1, 7, 0, 1});
    EXPECT_EQ(right.Row(0), (Row{U, U, U, U}));
    EXPECT_TRUE(right.PaddingUntouched());
    Decoded up = Decode(4, 2, {0, 2, 0, 255, 1, 7, 0, 1});
    EXPECT_TRUE(up.GuardIntact());
    EXPECT_EQ(up.Row(1), (Row{U, U, U, U}));
}

TEST(DecodeRle8, DeltaCutShortByTheStreamEnd) {
    Decoded d = Decode(4, 1, {1, 3, 0, 2, 1});
    EXPECT_EQ(d.Row(0), (Row{3, U, U, U}));
}

TEST(DecodeRle8, ManyEndOfLineCodesEndQuietly) {
    std::vector<uint8_t> stream;
    for (int i = 0; i < 1000; ++i) stream.insert(stream.end(), {0, 0});
    stream.insert(stream.end(), {4, 9});
    Decoded d = Decode(4, 2, stream);
    EXPECT_EQ(d.Row(0), (Row{U, U, U, U}));
    EXPECT_EQ(d.Row(1), (Row{U, U, U, U}));
    EXPECT_TRUE(d.GuardIntact());
}

TEST(DecodeRle8, EmptyStreamWritesNothing) {
    Decoded d = Decode(4, 1, {});
    EXPECT_EQ(d.Row(0), (Row{U, U, U, U}));
}

TEST(DecodeRle8, FillsAWholePictureWrittenRowByRow) {
    // 300 x 5 in runs of 255 + 45 per row with end-of-line codes, the last row
    // without one, as the full-size pictures are stored.
    std::vector<uint8_t> stream;
    for (int r = 0; r < 5; ++r) {
        stream.insert(stream.end(), {255, uint8_t(r + 1), 45, uint8_t(r + 1)});
        if (r < 4) stream.insert(stream.end(), {0, 0});
    }
    stream.insert(stream.end(), {0, 1});
    Decoded d = Decode(300, 5, stream);
    for (int r = 0; r < 5; ++r) EXPECT_EQ(d.Row(r), Row(300, uint8_t(r + 1))) << "row " << r;
    EXPECT_TRUE(d.GuardIntact());
}
