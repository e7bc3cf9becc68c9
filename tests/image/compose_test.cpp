// Facts about filling, copying and transparent blitting of rectangles, and
// their clipping to both images.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "image/compose.h"
#include "test_images.h"

namespace {

// Pixels of an image as rows of text between slashes, '.' for 0 and a hex
// digit otherwise, so that a failure shows the picture.
std::string Picture(const Image* image) {
    std::string out;
    for (int y = 0; y < ImageHeight(image); ++y) {
        if (y > 0) out += '/';
        for (int x = 0; x < ImageWidth(image); ++x) {
            uint8_t v = *PixelAddress(image, x, y);
            out += v == 0 ? '.' : "0123456789abcdef"[v & 15];
        }
    }
    return out;
}

// Every padding byte of the image is still 0, as CreateImage left it.
bool PaddingIsZero(const Image* image) {
    for (int r = 0; r < ImageHeight(image); ++r)
        for (int c = ImageWidth(image); c < ImageStride(image); ++c)
            if (ImagePixels(image)[r * ImageStride(image) + c] != 0) return false;
    return true;
}

// Owns the images a test makes.
class ComposeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        for (Image* image : images) DestroyImage(image);
    }
    Image* Make(int width, int height) {
        images.push_back(CreateImage(width, height, nullptr));
        return images.back();
    }
    // An image painted from rows in Picture's form.
    Image* Painted(const std::string& rows) {
        const int width = int(std::min(rows.find('/'), rows.size()));
        Image* image = Make(width, int(rows.size() + 1) / (width + 1));
        for (size_t k = 0; k < rows.size(); ++k) {
            const int x = int(k % (width + 1)), y = int(k / (width + 1));
            if (x < width && rows[k] != '.')
                *PixelAddress(image, x, y) = uint8_t(std::stoi(rows.substr(k, 1), nullptr, 16));
        }
        return image;
    }

    std::vector<Image*> images;
};

enum Operation { kFill, kCopy, kBlit };

const char* const kPlain4x3 = "1234/5678/9abc";
const char* const kSprite3x3 = "123/4.6/789";
const char* const kRows4x6 = "1.23/4567/.89a/b.cd/ef.1/2345";
const char* const kBlank4x2 = "..../....";
const char* const kBlank4x3 = "..../..../....";
const char* const kBlank5x2 = "...../.....";

// One operation on a destination painted from `before`: a fill of `from` with
// `colour`, or a copy or blit of `from` of the source to `to`, the source
// being the destination itself where `source` is null.
struct ComposeCase {
    Operation operation;
    const char* source;
    Rect from;
    Point to;
    int colour;
    const char* before;
    const char* after;
};

const ComposeCase kComposeCases[] = {
    // Fills: exactly the rectangle, with the colour's low byte, clipped.
    {kFill, nullptr, {1, 1, 3, 2}, {}, 0x107, "...../...../...../.....", "...../.777./.777./....."},
    {kFill, nullptr, {0, 0, 5, 2}, {}, 256, "99999/99999", kBlank5x2},
    {kFill, nullptr, {0, 1, 4, 1}, {}, 2, kBlank4x3, "..../2222/...."},
    {kFill, nullptr, {2, 0, 1, 3}, {}, 5, kBlank4x3, "..5./..5./..5."},
    {kFill, nullptr, {-2, -1, 4, 2}, {}, 1, "...../...../.....", "11.../...../....."},
    {kFill, nullptr, {3, 2, 10, 10}, {}, 2, "...../...../.....", "...../...../...22"},
    {kFill, nullptr, {5, 0, 3, 2}, {}, 9, kBlank5x2, kBlank5x2},
    {kFill, nullptr, {0, -3, 5, 3}, {}, 9, kBlank5x2, kBlank5x2},
    {kFill, nullptr, {0, 0, -1, 2}, {}, 9, kBlank5x2, kBlank5x2},
    {kFill, nullptr, {INT_MAX - 1, INT_MAX - 1, INT_MAX, INT_MAX}, {}, 9, kBlank5x2, kBlank5x2},
    {kFill, nullptr, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {}, 9, kBlank5x2, kBlank5x2},
    // Copies: every pixel, 0 included, each keeping its place from the
    // top-left corners; clipping moves the source and destination together.
    {kCopy, "1.2/3.4", {0, 0, 3, 2}, {1, 1}, 0, "99999/99999/99999", "99999/91.29/93.49"},
    {kCopy, kPlain4x3, {1, 1, 3, 2}, {0, 2}, 0, "..../..../..../....", "..../..../678./abc."},
    {kCopy, kPlain4x3, {-1, -1, 3, 3}, {0, 0}, 0, kBlank4x3, "..../.12./.56."},
    {kCopy, kPlain4x3, {0, 0, 4, 3}, {2, 1}, 0, kBlank4x3, "..../..12/..56"},
    {kCopy, kPlain4x3, {0, 0, 4, 3}, {-2, -1}, 0, kBlank4x3, "78../bc../...."},
    {kCopy, kPlain4x3, {2, 0, 4, 1}, {0, 2}, 0, kBlank4x3, "..../..../34.."},
    {kCopy, kPlain4x3, {-2, -2, 4, 3}, {-1, -1}, 0, kBlank4x3, "..../.12./...."},  // the source's skip counts
    {kCopy, kPlain4x3, {4, 0, 2, 2}, {0, 0}, 0, kBlank4x2, kBlank4x2},
    {kCopy, kPlain4x3, {0, 0, 2, 2}, {-2, 0}, 0, kBlank4x2, kBlank4x2},
    {kCopy, kPlain4x3, {0, 0, 2, 2}, {0, 2}, 0, kBlank4x2, kBlank4x2},
    {kCopy, kPlain4x3, {0, 0, 0, 2}, {0, 0}, 0, kBlank4x2, kBlank4x2},
    {kCopy, kPlain4x3, {INT_MIN, 0, INT_MAX, 3}, {0, 0}, 0, kBlank4x2, kBlank4x2},
    {kCopy, kPlain4x3, {0, 0, INT_MAX, INT_MAX}, {INT_MAX, 0}, 0, kBlank4x2, kBlank4x2},
    // Blits: 0 keeps the destination, any other value is written; clipped
    // at every edge.
    {kBlit, ".1./234/.5.", {0, 0, 3, 3}, {1, 1}, 0, "99999/99999/99999/99999", "99999/99199/92349/99599"},
    {kBlit, kSprite3x3, {0, 0, 3, 3}, {-1, -1}, 0, "..../..../..../....", ".6../89../..../...."},
    {kBlit, kSprite3x3, {0, 0, 3, 3}, {2, 2}, 0, "..../..../..../....", "..../..../..12/..4."},
    {kBlit, kSprite3x3, {0, 0, 3, 3}, {4, 0}, 0, kBlank4x2, kBlank4x2},
    {kBlit, kSprite3x3, {0, 0, 3, 3}, {0, -3}, 0, kBlank4x2, kBlank4x2},
    {kBlit, kSprite3x3, {3, 0, 3, 3}, {0, 0}, 0, kBlank4x2, kBlank4x2},
    // Within one image every source pixel is read before it is overwritten:
    // up, down, and right.
    {kCopy, nullptr, {0, 2, 4, 3}, {0, 0}, 0, kRows4x6, ".89a/b.cd/ef.1/b.cd/ef.1/2345"},
    {kCopy, nullptr, {0, 0, 4, 3}, {0, 2}, 0, kRows4x6, "1.23/4567/1.23/4567/.89a/2345"},
    {kBlit, nullptr, {0, 2, 4, 3}, {0, 0}, 0, kRows4x6, "189a/b5cd/ef91/b.cd/ef.1/2345"},
    {kBlit, nullptr, {0, 0, 4, 3}, {0, 2}, 0, kRows4x6, "1.23/4567/1823/4567/e89a/2345"},
    {kBlit, nullptr, {0, 0, 3, 6}, {1, 0}, 0, kRows4x6, "1122/4456/.889/bbcc/eef1/2234"},
};

}  // namespace

TEST_F(ComposeTest, EachOperationWritesExactlyItsClippedRectangle) {
    for (const ComposeCase& c : kComposeCases) {
        SCOPED_TRACE(::testing::Message()
                     << "case " << &c - kComposeCases << " from " << c.from.x << "," << c.from.y << " " << c.from.width
                     << "x" << c.from.height << " to " << c.to.x << "," << c.to.y);
        Image* destination = Painted(c.before);
        const Image* source = c.source != nullptr ? Painted(c.source) : destination;
        if (c.operation == kFill) FillImageRect(destination, c.from, c.colour);
        if (c.operation == kCopy) CopyImageRect(source, c.from, destination, c.to);
        if (c.operation == kBlit) BlitTransparent(source, c.from, destination, c.to);
        EXPECT_EQ(Picture(destination), c.after);
        EXPECT_TRUE(PaddingIsZero(destination));
    }
}

// Over rows longer than the sixteen-pixel blocks, a sprite without 0 blits
// as a copy, and one of only 0 leaves the destination as it was.
TEST_F(ComposeTest, WideBlitsOfOnlyColourAndOnlyZero) {
    Image* opaque = MakeNumberedImage(38, 32);
    images.push_back(opaque);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 38; ++x)
            if (*PixelAddress(opaque, x, y) == 0) *PixelAddress(opaque, x, y) = 1;
    Image* blitted = Make(50, 40);
    Image* copied = Make(50, 40);
    FillImageRect(blitted, {0, 0, 50, 40}, 3);
    FillImageRect(copied, {0, 0, 50, 40}, 3);
    BlitTransparent(opaque, {0, 0, 38, 32}, blitted, {5, 4});
    CopyImageRect(opaque, {0, 0, 38, 32}, copied, {5, 4});
    EXPECT_EQ(RowsTopDown(blitted), RowsTopDown(copied)) << "a sprite without 0";

    const std::vector<uint8_t> before = RowsTopDown(blitted);
    BlitTransparent(Make(40, 3), {0, 0, 40, 3}, blitted, {2, 1});
    EXPECT_EQ(RowsTopDown(blitted), before) << "a sprite of only 0";
}

TEST_F(ComposeTest, BlitRowsOfEveryLengthMixKeyAndColourAtEveryPosition) {
    // Lengths around the 16-pixel blocks of the row loop, its overlapping last
    // block, and the two-word paths of 4 to 15 pixels; the frame is wider so
    // the edges show. The third row's colours have the high bit set, 0x80
    // alone among them, over a destination of other bits.
    const uint8_t high[] = {0x80, 0xFF, 0, 0x81, 0x7F, 0xC0, 0x80, 0};
    for (int width : {1, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 31, 32, 33, 38, 77}) {
        Image* sprite = Make(width, 3);
        Image* frame = Make(width + 2, 3);
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
    }
}
