// Facts about the run-length streams of resources 143, 144 and 145: each row
// is written to its full width and ended, no delta codes, an end-of-bitmap at
// the very end, and the stream decodes to what the loader produces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "picture_resources.h"

namespace {

struct StreamWalk {
    int ok = 0;
    int rows = 0;  // rows written out
    int endOfLines = 0;
    std::string fault;            // what broke the rules, if anything
    std::vector<uint8_t> pixels;  // top row first, width x height
};

// An independent strict reading of the stream by the rules the generator
// follows, so that a stream the lenient decoder would accept still fails here.
StreamWalk WalkStream(const uint8_t* s, size_t size, int width, int height) {
    StreamWalk walk;
    walk.pixels.assign(static_cast<size_t>(width) * height, 0);
    size_t at = 0;
    int column = 0;
    auto put = [&](uint8_t value) {
        if (column >= width || walk.rows >= height) return 0;
        walk.pixels[static_cast<size_t>(height - 1 - walk.rows) * width + column++] = value;
        return 1;
    };
    while (at + 2 <= size) {
        const uint8_t n = s[at], e = s[at + 1];
        at += 2;
        if (n > 0) {
            for (int i = 0; i < n; ++i)
                if (!put(e)) return walk.fault = "run past the row's end", walk;
        } else if (e >= 3) {
            if (at + e > size) return walk.fault = "absolute run past the stream", walk;
            for (int i = 0; i < e; ++i)
                if (!put(s[at + i])) return walk.fault = "absolute run past the row's end", walk;
            at += e + (e & 1);
        } else if (e == 2) {
            return walk.fault = "delta code", walk;
        } else if (e == 0) {
            if (column != width)
                return walk.fault = "row " + std::to_string(walk.rows) + " not written to full width", walk;
            ++walk.rows;
            ++walk.endOfLines;
            column = 0;
        } else {
            // End of bitmap: right after the last row's end-of-line, or ending that row itself.
            if (column == width)
                ++walk.rows;
            else if (column != 0)
                return walk.fault = "end-of-bitmap inside a row", walk;
            walk.ok = at == size && walk.rows == height;
            if (!walk.ok)
                walk.fault = "end-of-bitmap after " + std::to_string(walk.rows) + " rows, " +
                             std::to_string(size - at) + " bytes before the end";
            return walk;
        }
    }
    walk.fault = "no end-of-bitmap";
    return walk;
}

void ExpectStream(int id, int expectedEndOfLines) {
    RawDib dib;
    ASSERT_TRUE(FindRawDib(id, &dib));
    const int width = dib.info.biWidth, height = dib.info.biHeight;
    const StreamWalk walk = WalkStream(dib.data + sizeof(ImageHeader), dib.size - sizeof(ImageHeader), width, height);
    ASSERT_TRUE(walk.ok) << "resource " << id << ": " << walk.fault;
    EXPECT_EQ(walk.endOfLines, expectedEndOfLines) << "resource " << id;

    ImagePtr image = LoadPicture(id);
    ASSERT_NE(image, nullptr);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(PixelOf(image.get(), x, y), walk.pixels[static_cast<size_t>(y) * width + x])
                << "resource " << id << " pixel " << x << "," << y;
}

}  // namespace

TEST(RleStreams, BackgroundEndsEveryRow) { ExpectStream(145, 768); }

TEST(RleStreams, PreviewEndsEveryRow) { ExpectStream(143, 112); }

TEST(RleStreams, FigureSheetEndsEveryRow) { ExpectStream(144, 172); }
