// Conversion of the scene's RGB surface into TrueColor pixels: the channel
// tables for common visuals and the rectangle conversion's bounds.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "x11/window_image.h"

namespace {

uint32_t Pixel(const ChannelTables& t, uint32_t rgb) {
    return t.red[(rgb >> 16) & 0xFF] | t.green[(rgb >> 8) & 0xFF] | t.blue[rgb & 0xFF];
}

TEST(ChannelTables, Rgb565RoundsEachLevelToTheNearestStep) {
    PixelFormat format{0xF800, 0x07E0, 0x001F, 16, 0};
    ChannelTables t;
    BuildChannelTables(&format, &t);
    EXPECT_EQ(Pixel(t, 0x000000), 0x0000u);
    EXPECT_EQ(Pixel(t, 0xFFFFFF), 0xFFFFu);
    EXPECT_EQ(Pixel(t, 0xFF0000), 0xF800u);
    EXPECT_EQ(Pixel(t, 0x00FF00), 0x07E0u);
    EXPECT_EQ(Pixel(t, 0x0000FF), 0x001Fu);
    // 128 of 255 is 15.56 of 31 and 31.62 of 63.
    EXPECT_EQ(Pixel(t, 0x808080), (16u << 11) | (32u << 5) | 16u);
    // 4 of 255 is below half a 5-bit step; 5 is above it.
    EXPECT_EQ(t.red[4], 0u);
    EXPECT_EQ(t.red[5], 1u << 11);
}

TEST(ChannelTables, SwappedAndWideVisualsKeepEachChannelInItsMask) {
    PixelFormat bgr{0x0000FF, 0x00FF00, 0xFF0000, 32, 0};
    ChannelTables t;
    BuildChannelTables(&bgr, &t);
    EXPECT_EQ(Pixel(t, 0x123456), 0x563412u);
    EXPECT_FALSE(FormatMatchesSurface(&bgr));

    PixelFormat tenBits{0x3FF00000, 0x000FFC00, 0x000003FF, 32, 0};
    BuildChannelTables(&tenBits, &t);
    EXPECT_EQ(Pixel(t, 0xFF0000), 0x3FF00000u);
    EXPECT_EQ(Pixel(t, 0x00FF00), 0x000FFC00u);
    EXPECT_EQ(Pixel(t, 0x000080), 514u) << "expected 128/255 of 1023, rounded";

    PixelFormat rgb{0xFF0000, 0x00FF00, 0x0000FF, 32, 0};
    BuildChannelTables(&rgb, &t);
    EXPECT_EQ(Pixel(t, 0xA1B2C3), 0xA1B2C3u);
    EXPECT_TRUE(FormatMatchesSurface(&rgb));
    PixelFormat packed{0xFF0000, 0x00FF00, 0x0000FF, 24, 0};
    EXPECT_FALSE(FormatMatchesSurface(&packed)) << "expected 24-bit packed pixels to need conversion";
}

TEST(ChannelTables, ArgbVisualsGetOpaquePixelsAndNeverShareTheSurface) {
    Visual argb{};
    argb.red_mask = 0xFF0000;
    argb.green_mask = 0x00FF00;
    argb.blue_mask = 0x0000FF;
    PixelFormat format = VisualPixelFormat(&argb, 32, 32);
    EXPECT_EQ(format.alphaMask, 0xFF000000ul);
    EXPECT_FALSE(FormatMatchesSurface(&format)) << "expected the alpha byte to need conversion";
    ChannelTables t;
    BuildChannelTables(&format, &t);
    EXPECT_EQ(Pixel(t, 0x000000), 0xFF000000u);
    EXPECT_EQ(Pixel(t, 0x123456), 0xFF123456u);

    PixelFormat plain = VisualPixelFormat(&argb, 24, 32);
    EXPECT_EQ(plain.alphaMask, 0ul);
    EXPECT_TRUE(FormatMatchesSurface(&plain));
    Visual deep{};
    deep.red_mask = 0x3FF00000;
    deep.green_mask = 0x000FFC00;
    deep.blue_mask = 0x000003FF;
    EXPECT_EQ(VisualPixelFormat(&deep, 30, 32).alphaMask, 0ul);
}

TEST(ConvertRect, EightBitTrueColorPacksThreeThreeTwo) {
    uint32_t pixels[3] = {0xFFFFFF, 0xFF0000, 0x0000FF};
    RgbPixels surface{pixels, 3, {0, 0, 3, 1}};
    PixelFormat format{0xE0, 0x1C, 0x03, 8, 0};
    ChannelTables t;
    BuildChannelTables(&format, &t);
    uint8_t image[4] = {0x55, 0x55, 0x55, 0x55};
    ASSERT_TRUE(ConvertRect(&surface, {0, 0, 3, 1}, &t, 8, image, 3));
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_EQ(image[1], 0xE0);
    EXPECT_EQ(image[2], 0x03);
    EXPECT_EQ(image[3], 0x55) << "expected nothing written past the row";
}

TEST(ConvertRect, WritesOnlyTheRectangleInTheVisualsFormat) {
    const int width = 8, height = 6;
    std::vector<uint32_t> pixels(width * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF0000 | static_cast<uint32_t>(i);
    RgbPixels surface{pixels.data(), width, {0, 0, width, height}};
    PixelFormat format{0xF800, 0x07E0, 0x001F, 16, 0};
    ChannelTables t;
    BuildChannelTables(&format, &t);
    const size_t pitch = width * 2 + 4;  // rows padded, as X images may be
    std::vector<uint8_t> image(pitch * height, 0xAB);
    ASSERT_TRUE(ConvertRect(&surface, {2, 1, 3, 2}, &t, 16, image.data(), pitch));
    for (int y = 0; y < height; ++y) {
        for (size_t byte = 0; byte < pitch; ++byte) {
            size_t x = byte / 2;
            bool inside = y >= 1 && y < 3 && x >= 2 && x < 5 && byte < width * 2u;
            uint8_t value = image[y * pitch + byte];
            if (!inside) {
                EXPECT_EQ(value, 0xAB) << "expected byte " << byte << " of row " << y << " untouched";
                continue;
            }
            uint16_t pixel = 0;
            memcpy(&pixel, &image[y * pitch + x * 2], 2);
            EXPECT_EQ(pixel, Pixel(t, pixels[y * width + x])) << "at (" << x << ", " << y << ")";
        }
    }
}

TEST(ConvertRect, ClipsToTheSurfaceAndRefusesOtherPixelSizes) {
    const int width = 4, height = 4;
    std::vector<uint32_t> pixels(width * height, 0x00FF00);
    RgbPixels surface{pixels.data(), width, {0, 0, width, height}};
    PixelFormat format{0xFF0000, 0x00FF00, 0x0000FF, 32, 0};
    ChannelTables t;
    BuildChannelTables(&format, &t);
    std::vector<uint32_t> image(width * height + 1, 0xDEADBEEF);  // one guard pixel after the end
    ASSERT_TRUE(ConvertRect(&surface, {-3, 2, 100, 100}, &t, 32, reinterpret_cast<uint8_t*>(image.data()), width * 4));
    EXPECT_EQ(image[0], 0xDEADBEEFu);
    EXPECT_EQ(image[2 * width], 0x00FF00u);
    EXPECT_EQ(image[width * height - 1], 0x00FF00u);
    EXPECT_EQ(image[width * height], 0xDEADBEEFu) << "expected nothing written past the image";
    EXPECT_FALSE(ConvertRect(&surface, {0, 0, 4, 4}, &t, 24, reinterpret_cast<uint8_t*>(image.data()), width * 4));
    EXPECT_FALSE(ConvertRect(&surface, {0, 0, 4, 4}, &t, 1, reinterpret_cast<uint8_t*>(image.data()), width * 4));
}

}  // namespace
