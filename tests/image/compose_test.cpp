// Facts about filling, copying and transparent blitting of rectangles, and
// their clipping to both images.
#include <gtest/gtest.h>

#include "image/compose.h"
#include "test_images.h"

namespace {

// Pixels of an image as rows of text, '.' for 0 and a hex digit otherwise,
// so that a failure shows the picture.
std::string Picture(const Image* image) {
    std::string out;
    for (int y = 0; y < ImageHeight(image); ++y) {
        for (int x = 0; x < ImageWidth(image); ++x) {
            uint8_t v = *PixelAddress(image, x, y);
            out += v == 0 ? '.' : "0123456789abcdef"[v & 15];
        }
        out += '\n';
    }
    return out;
}

void Paint(Image* image, const char* rows) {
    for (int y = 0; y < ImageHeight(image); ++y)
        for (int x = 0; x < ImageWidth(image); ++x) {
            char c = *rows++;
            *PixelAddress(image, x, y) = c == '.' ? 0 : uint8_t(std::stoi(std::string(1, c), nullptr, 16));
        }
}

// Every padding byte of the image is still `value`.
bool PaddingIs(const Image* image, uint8_t value) {
    for (int r = 0; r < ImageHeight(image); ++r)
        for (int c = ImageWidth(image); c < ImageStride(image); ++c)
            if (ImagePixels(image)[r * ImageStride(image) + c] != value) return false;
    return true;
}

}  // namespace

TEST(FillImageRect, FillsExactlyTheRectangleWithTheLowByte) {
    Image* image = CreateImage(5, 4, nullptr);
    FillImageRect(image, {1, 1, 3, 2}, 0x107);
    EXPECT_EQ(Picture(image), ".....\n.777.\n.777.\n.....\n");
    FillImageRect(image, {0, 0, 5, 4}, 256);
    EXPECT_EQ(Picture(image), ".....\n.....\n.....\n.....\n") << "colour 256 fills with index 0";
    DestroyImage(image);
}

TEST(FillImageRect, HeightOneTouchesOnlyRowYAndWidthOneOnlyColumnX) {
    Image* image = CreateImage(4, 3, nullptr);
    FillImageRect(image, {0, 1, 4, 1}, 2);
    EXPECT_EQ(Picture(image), "....\n2222\n....\n");
    FillImageRect(image, {2, 0, 1, 3}, 5);
    EXPECT_EQ(Picture(image), "..5.\n2252\n..5.\n");
    EXPECT_TRUE(PaddingIs(image, 0));
    DestroyImage(image);
}

TEST(FillImageRect, ClipsToTheImage) {
    Image* image = CreateImage(5, 3, nullptr);
    FillImageRect(image, {-2, -1, 4, 2}, 1);
    FillImageRect(image, {3, 2, 10, 10}, 2);
    EXPECT_EQ(Picture(image), "11...\n.....\n...22\n");
    FillImageRect(image, {5, 0, 3, 3}, 9);
    FillImageRect(image, {0, -3, 5, 3}, 9);
    FillImageRect(image, {0, 0, -1, 3}, 9);
    FillImageRect(image, {INT32_MAX - 1, INT32_MAX - 1, INT32_MAX, INT32_MAX}, 9);
    FillImageRect(image, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, 9);
    EXPECT_EQ(Picture(image), "11...\n.....\n...22\n");
    EXPECT_TRUE(PaddingIs(image, 0));
    DestroyImage(image);
}

TEST(CopyImageRect, CopiesEveryPixelIncludingZero) {
    Image* source = CreateImage(3, 2, nullptr);
    Paint(source,
          "1.2"
          "3.4");
    Image* destination = CreateImage(5, 3, nullptr);
    FillImageRect(destination, {0, 0, 5, 3}, 9);
    CopyImageRect(source, {0, 0, 3, 2}, destination, {1, 1});
    EXPECT_EQ(Picture(destination), "99999\n91.29\n93.49\n");
    DestroyImage(source);
    DestroyImage(destination);
}

TEST(CopyImageRect, KeepsOrientationFromTopLeftCorners) {
    Image* source = MakeNumberedImage(8, 8);
    Image* destination = CreateImage(4, 4, nullptr);
    CopyImageRect(source, {2, 5, 3, 2}, destination, {1, 0});
    EXPECT_EQ(*PixelAddress(destination, 1, 0), 2 + 16 * 5);
    EXPECT_EQ(*PixelAddress(destination, 3, 0), 4 + 16 * 5);
    EXPECT_EQ(*PixelAddress(destination, 1, 1), 2 + 16 * 6);
    EXPECT_EQ(*PixelAddress(destination, 3, 1), 4 + 16 * 6);
    EXPECT_EQ(*PixelAddress(destination, 0, 0), 0);
    EXPECT_EQ(*PixelAddress(destination, 1, 2), 0);
    DestroyImage(source);
    DestroyImage(destination);
}

TEST(CopyImageRect, ClipsSourceAndDestinationTogether) {
    Image* source = CreateImage(4, 3, nullptr);
    Paint(source,
          "1234"
          "5678"
          "9abc");
    Image* destination = CreateImage(4, 3, nullptr);
    // Source starts left of and above its image: the missing part is skipped
    // on both sides, so pixels keep their places relative to each other.
    CopyImageRect(source, {-1, -1, 3, 3}, destination, {0, 0});
    EXPECT_EQ(Picture(destination), "....\n.12.\n.56.\n");

    FillImageRect(destination, {0, 0, 4, 3}, 0);
    // Destination runs past its right and bottom edges.
    CopyImageRect(source, {0, 0, 4, 3}, destination, {2, 1});
    EXPECT_EQ(Picture(destination), "....\n..12\n..56\n");

    FillImageRect(destination, {0, 0, 4, 3}, 0);
    // Destination starts left of its image: source columns move along.
    CopyImageRect(source, {0, 0, 4, 3}, destination, {-2, -1});
    EXPECT_EQ(Picture(destination), "78..\nbc..\n....\n");

    FillImageRect(destination, {0, 0, 4, 3}, 0);
    // Source runs past its right edge while the destination has room.
    CopyImageRect(source, {2, 0, 4, 1}, destination, {0, 2});
    EXPECT_EQ(Picture(destination), "....\n....\n34..\n");

    FillImageRect(destination, {0, 0, 4, 3}, 0);
    // Both start outside, the source further: its skip counts for both.
    CopyImageRect(source, {-2, -2, 4, 3}, destination, {-1, -1});
    EXPECT_EQ(Picture(destination), "....\n.12.\n....\n");
    EXPECT_TRUE(PaddingIs(destination, 0));
    DestroyImage(source);
    DestroyImage(destination);
}

TEST(CopyImageRect, RectanglesWhollyOutsideCopyNothing) {
    Image* source = MakeNumberedImage(4, 4);
    Image* destination = CreateImage(4, 4, nullptr);
    CopyImageRect(source, {4, 0, 2, 2}, destination, {0, 0});
    CopyImageRect(source, {0, 0, 2, 2}, destination, {-2, 0});
    CopyImageRect(source, {0, 0, 2, 2}, destination, {0, 4});
    CopyImageRect(source, {0, 0, 0, 2}, destination, {0, 0});
    CopyImageRect(source, {INT32_MIN, 0, INT32_MAX, 4}, destination, {0, 0});
    CopyImageRect(source, {0, 0, INT32_MAX, INT32_MAX}, destination, {INT32_MAX, 0});
    EXPECT_EQ(Picture(destination), "....\n....\n....\n....\n");
    DestroyImage(source);
    DestroyImage(destination);
}

TEST(BlitTransparent, ZeroKeepsTheDestinationAndOtherValuesAreWritten) {
    Image* sprite = CreateImage(3, 3, nullptr);
    Paint(sprite,
          ".1."
          "234"
          ".5.");
    Image* frame = CreateImage(5, 4, nullptr);
    FillImageRect(frame, {0, 0, 5, 4}, 9);
    BlitTransparent(sprite, {0, 0, 3, 3}, frame, {1, 1});
    EXPECT_EQ(Picture(frame), "99999\n99199\n92349\n99599\n");
    DestroyImage(sprite);
    DestroyImage(frame);
}

TEST(BlitTransparent, AllZeroCellLeavesTheDestination) {
    Image* sprite = CreateImage(40, 3, nullptr);
    Image* frame = MakeNumberedImage(40, 3);
    std::vector<uint8_t> before = RowsTopDown(frame);
    BlitTransparent(sprite, {0, 0, 40, 3}, frame, {0, 0});
    EXPECT_EQ(RowsTopDown(frame), before);
    DestroyImage(sprite);
    DestroyImage(frame);
}

TEST(BlitTransparent, CellWithoutZeroBehavesLikeACopy) {
    Image* sprite = MakeNumberedImage(38, 32);
    FillImageRect(sprite, {0, 0, 1, 1}, 7);  // pixel (0,0) numbered 0 otherwise
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 38; ++x)
            if (*PixelAddress(sprite, x, y) == 0) *PixelAddress(sprite, x, y) = 1;
    Image* blitted = CreateImage(50, 40, nullptr);
    Image* copied = CreateImage(50, 40, nullptr);
    FillImageRect(blitted, {0, 0, 50, 40}, 3);
    FillImageRect(copied, {0, 0, 50, 40}, 3);
    BlitTransparent(sprite, {0, 0, 38, 32}, blitted, {5, 4});
    CopyImageRect(sprite, {0, 0, 38, 32}, copied, {5, 4});
    EXPECT_EQ(RowsTopDown(blitted), RowsTopDown(copied));
    DestroyImage(sprite);
    DestroyImage(blitted);
    DestroyImage(copied);
}

TEST(BlitTransparent, RowsOfEveryLengthMixKeyAndColourAtEveryPosition) {
    // Lengths around the 16-pixel blocks of the row loop, its overlapping last
    // block, and the two-word paths of 4 to 15 pixels; the frame is wider so
    // the edges show. The third row's colours have the high bit set, 0x80
    // alone among them, over a destination of other bits.
    const uint8_t high[] = {0x80, 0xFF, 0, 0x81, 0x7F, 0xC0, 0x80, 0};
    for (int width : {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 31, 32, 33, 38, 77}) {
        Image* sprite = CreateImage(width, 3, nullptr);
        Image* frame = CreateImage(width + 2, 3, nullptr);
        for (int x = 0; x < width; ++x) {
            *PixelAddress(sprite, x, 0) = (x % 3) ? uint8_t(x + 1) : 0;
            *PixelAddress(sprite, x, 1) = (x % 5 == 1) ? 0 : uint8_t(200 + x % 50);
            *PixelAddress(sprite, x, 2) = high[x % 8];
        }
        FillImageRect(frame, {0, 0, width + 2, 2}, 0xEE);
        FillImageRect(frame, {0, 2, width + 2, 1}, 0x35);
        BlitTransparent(sprite, {0, 0, width, 3}, frame, {1, 0});
        for (int x = 0; x < width + 2; ++x) {
            int s = x - 1;
            int top = (s < 0 || s >= width || s % 3 == 0) ? 0xEE : s + 1;
            int bottom = (s < 0 || s >= width || s % 5 == 1) ? 0xEE : 200 + s % 50;
            int third = (s < 0 || s >= width || high[s % 8] == 0) ? 0x35 : high[s % 8];
            ASSERT_EQ(*PixelAddress(frame, x, 0), top) << "width " << width << ", column " << x;
            ASSERT_EQ(*PixelAddress(frame, x, 1), bottom) << "width " << width << ", column " << x;
            ASSERT_EQ(*PixelAddress(frame, x, 2), third) << "width " << width << ", column " << x;
        }
        DestroyImage(sprite);
        DestroyImage(frame);
    }
}

TEST(BlitTransparent, ClipsAtEveryEdge) {
    Image* sprite = CreateImage(3, 3, nullptr);
    Paint(sprite,
          "123"
          "4.6"
          "789");
    Image* frame = CreateImage(4, 4, nullptr);
    BlitTransparent(sprite, {0, 0, 3, 3}, frame, {-1, -1});
    BlitTransparent(sprite, {0, 0, 3, 3}, frame, {2, 2});
    EXPECT_EQ(Picture(frame), ".6..\n89..\n..12\n..4.\n");
    BlitTransparent(sprite, {0, 0, 3, 3}, frame, {4, 0});
    BlitTransparent(sprite, {0, 0, 3, 3}, frame, {0, -3});
    BlitTransparent(sprite, {3, 0, 3, 3}, frame, {0, 0});
    EXPECT_EQ(Picture(frame), ".6..\n89..\n..12\n..4.\n");
    EXPECT_TRUE(PaddingIs(frame, 0));
    DestroyImage(sprite);
    DestroyImage(frame);
}

TEST(CompositingWithinOneImage, ReadsEverySourcePixelBeforeOverwritingIt) {
    using Operation = void (*)(const Image*, Rect, Image*, Point);
    struct Case {
        Operation operation;
        int sx, sy, width, height, dx, dy;
        const char* expected;
    } cases[] = {
        {CopyImageRect, 0, 2, 4, 3, 0, 0, ".89a\nb.cd\nef.1\nb.cd\nef.1\n2345\n"},  // up
        {CopyImageRect, 0, 0, 4, 3, 0, 2, "1.23\n4567\n1.23\n4567\n.89a\n2345\n"},  // down
        {BlitTransparent, 0, 2, 4, 3, 0, 0, "189a\nb5cd\nef91\nb.cd\nef.1\n2345\n"},
        {BlitTransparent, 0, 0, 4, 3, 0, 2, "1.23\n4567\n1823\n4567\ne89a\n2345\n"},
        {BlitTransparent, 0, 0, 3, 6, 1, 0, "1122\n4456\n.889\nbbcc\neef1\n2234\n"},  // right
    };
    for (const Case& c : cases) {
        Image* image = CreateImage(4, 6, nullptr);
        Paint(image,
              "1.23"
              "4567"
              ".89a"
              "b.cd"
              "ef.1"
              "2345");
        c.operation(image, {c.sx, c.sy, c.width, c.height}, image, {c.dx, c.dy});
        EXPECT_EQ(Picture(image), c.expected)
            << "from (" << c.sx << "," << c.sy << ") to (" << c.dx << "," << c.dy << ")";
        DestroyImage(image);
    }
}
