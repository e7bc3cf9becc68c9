// Span sprites draw exactly what the transparent blit of the same sheet
// rectangle draws, at every position across every edge of the destination
// and of a clip inside it, for rectangles inside and reaching past the sheet.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "image/compose.h"
#include "image/span_sprite.h"
#include "test_images.h"

namespace {

// A sheet with transparent holes of every length, runs touching the edges,
// rows that are wholly transparent, and rows whose opaque pixels span one
// block of 16, two, or lie near the right edge.
Image* MakeSheet(int width, int height) {
    Image* sheet = MakeTestImage(width, height);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            const bool narrow = (y % 8 == 1 && (x < y || x > y + 12)) || (y % 8 == 5 && (x < y || x > y + 24)) ||
                                (y % 4 == 2 && x < 34);
            const bool hole = (state >> 16) % 5 < 2 || y == 3 || narrow;
            *PixelAddress(sheet, x, y) = hole ? 0 : uint8_t(1 + (state >> 8) % 255);
        }
    }
    return sheet;
}

std::vector<uint8_t> Pixels(const Image* image) {
    const uint8_t* p = ImagePixels(image);
    return std::vector<uint8_t>(p, p + size_t(ImageStride(image)) * size_t(ImageHeight(image)));
}

void Fill(Image* image, uint8_t seed) {
    for (int y = 0; y < ImageHeight(image); ++y)
        for (int x = 0; x < ImageWidth(image); ++x) *PixelAddress(image, x, y) = uint8_t(seed + x * 3 + y * 7);
}

constexpr SpanClip kClip = {2, 2, 9, 15};

TEST(SpanSpriteTest, DrawsWhatTheTransparentBlitDrawsAcrossEveryEdge) {
    struct Case {
        int sx, sy, width, height;
    };
    // Inside the sheet; wider than 16 (a run copied whole); reaching past
    // each edge of the 40 x 20 sheet; one pixel.
    const Case cases[] = {{2, 1, 9, 12}, {0, 0, 40, 20}, {-3, -2, 10, 8}, {35, 15, 9, 9}, {7, 7, 1, 1}};
    Image* sheet = MakeSheet(40, 20);
    // The wider destination holds sprites of two and three blocks a row whole.
    for (const auto& [width, height] : {std::pair{23, 17}, std::pair{64, 24}}) {
        Image* expected = MakeTestImage(width, height);
        Image* actual = MakeTestImage(width, height);
        for (const Case& c : cases) {
            SpanSprite* sprite = EncodeSpanSprite(sheet, {c.sx, c.sy, c.width, c.height});
            ASSERT_NE(sprite, nullptr);
            // Planned for the wider destination's rows: the narrower one draws unplanned.
            PlanSpanSpriteStride(sprite, 64);
            for (int dy = -c.height - 1; dy <= height + 1; ++dy) {
                for (int dx = -c.width - 1; dx <= width + 1; ++dx) {
                    Fill(expected, uint8_t(dx + dy));
                    Fill(actual, uint8_t(dx + dy));
                    BlitTransparent(sheet, {c.sx, c.sy, c.width, c.height}, expected, {dx, dy});
                    DrawSpanSprite(sprite, actual, {dx, dy});
                    ASSERT_EQ(Pixels(actual), Pixels(expected))
                        << "sheet rect " << c.sx << "," << c.sy << " " << c.width << "x" << c.height << " at " << dx
                        << "," << dy;
                    // Within a clip: the same pixels inside it, none outside.
                    Fill(actual, uint8_t(dx + dy));
                    DrawSpanSpriteWithin(sprite, actual, {dx, dy}, kClip);
                    for (int y = 0; y < height; ++y) {
                        for (int x = 0; x < width; ++x) {
                            const bool inside =
                                x >= kClip.left && x < kClip.right && y >= kClip.top && y < kClip.bottom;
                            if (!inside) *PixelAddress(expected, x, y) = uint8_t(dx + dy + x * 3 + y * 7);
                        }
                    }
                    ASSERT_EQ(Pixels(actual), Pixels(expected)) << "clipped, at " << dx << "," << dy;
                }
            }
            DestroySpanSprite(sprite);
        }
        DestroyImage(expected);
        DestroyImage(actual);
    }
    DestroyImage(sheet);
}

TEST(SpanSpriteTest, UnusableArgumentsEncodeOrDrawNothing) {
    Image* sheet = MakeSheet(8, 8);
    EXPECT_EQ(EncodeSpanSprite(nullptr, {0, 0, 4, 4}), nullptr);
    EXPECT_EQ(EncodeSpanSprite(sheet, {0, 0, 0, 4}), nullptr);
    EXPECT_EQ(EncodeSpanSprite(sheet, {0, 0, 4, -1}), nullptr);
    // Wholly outside the sheet: a sprite with no runs, which draws nothing.
    SpanSprite* empty = EncodeSpanSprite(sheet, {100, 100, 4, 4});
    ASSERT_NE(empty, nullptr);
    Image* target = MakeNumberedImage(8, 8);
    const std::vector<uint8_t> before = Pixels(target);
    DrawSpanSprite(empty, target, {2, 2});
    DrawSpanSprite(nullptr, target, {2, 2});
    EXPECT_EQ(Pixels(target), before);
    DestroySpanSprite(empty);
    DestroyImage(target);
    DestroyImage(sheet);
}

}  // namespace
