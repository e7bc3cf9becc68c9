// Facts about ScaleImage: the 16.16 steps, the new size and its rounding,
// and what happens to the holder.
#include <gtest/gtest.h>

#include <cmath>

#include "image/compose.h"
#include "test_images.h"

namespace {

// Pixel (x, y) holds x (low byte) in one image and y in the other, so every
// destination pixel tells which source column or row it came from.
Image* ColumnNumbers(int width, int height) {
    Image* image = MakeTestImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *PixelAddress(image, x, y) = uint8_t(x);
    return image;
}

Image* RowNumbers(int width, int height) {
    Image* image = MakeTestImage(width, height);
    for (int y = 0; y < height; ++y) FillImageRect(image, {0, y, width, 1}, y);
    return image;
}

}  // namespace

TEST(ScaleImage, FiveEighthsTakesColumnsAtStep104857) {
    Image* image = ColumnNumbers(1024, 768);
    ASSERT_EQ(ScaleImage(&image, 0.625, 0.625), 1);
    ASSERT_EQ(ImageWidth(image), 640);
    ASSERT_EQ(ImageHeight(image), 480);
    const int expected[] = {0, 1, 3, 4, 6, 7, 9, 11};
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(*PixelAddress(image, c, 0), expected[c])
            << "column " << c << ": expected source column " << expected[c];
    // Column 639 comes from (639 x 104857) >> 16 = 1022, low byte 254.
    EXPECT_EQ(*PixelAddress(image, 639, 479), 1022 & 0xFF);
    DestroyImage(image);
}

TEST(ScaleImage, FiveEighthsTakesRowsAtStep104857CountedFromTheTop) {
    Image* image = RowNumbers(1024, 768);
    ASSERT_EQ(ScaleImage(&image, 0.625, 0.625), 1);
    const int expected[] = {0, 1, 3, 4, 6, 7, 9, 11};
    for (int r = 0; r < 8; ++r)
        EXPECT_EQ(*PixelAddress(image, 5, r), expected[r]) << "row " << r << ": expected source row " << expected[r];
    EXPECT_EQ(*PixelAddress(image, 0, 479), 1022 & 0xFF);
    DestroyImage(image);
}

TEST(ScaleImage, FactorOneCopiesPixelForPixel) {
    Image* image = MakeNumberedImage(37, 11);
    std::vector<uint8_t> before = RowsTopDown(image);
    ASSERT_EQ(ScaleImage(&image, 1.0, 1.0), 1);
    EXPECT_EQ(ImageWidth(image), 37);
    EXPECT_EQ(ImageHeight(image), 11);
    EXPECT_EQ(RowsTopDown(image), before);
    DestroyImage(image);
}

TEST(ScaleImage, EnlargingRepeatsColumnsAndRows) {
    Image* image = MakeNumberedImage(2, 2);
    ASSERT_EQ(ScaleImage(&image, 2.0, 1.5), 1);
    ASSERT_EQ(ImageWidth(image), 4);
    ASSERT_EQ(ImageHeight(image), 3);
    // Row step 2/3 in 16.16: rows 0, 0, 1.
    EXPECT_EQ(RowsTopDown(image), (std::vector<uint8_t>{0, 0, 1, 1, 0, 0, 1, 1, 16, 16, 17, 17}));
    DestroyImage(image);
}

TEST(ScaleImage, KeepsTheColourTableAndMakesADisplayDescriptor) {
    Image* image = MakeNumberedImage(10, 10);
    std::vector<RgbQuad> colours(ImageColorTable(image), ImageColorTable(image) + 256);
    ASSERT_EQ(ScaleImage(&image, 0.5, 0.5), 1);
    EXPECT_EQ(memcmp(ImageColorTable(image), colours.data(), 1024), 0);
    ASSERT_NE(image->displayInfo, nullptr);
    EXPECT_EQ(image->displayInfo->info.biWidth, 5);
    DestroyImage(image);
}

TEST(ScaleImage, SizeIsTheTruncatedProductUnlessAHairBelowAWholeNumber) {
    struct Case {
        int w, h;
        double fx, fy;
        int W, H;
    } cases[] = {
        // Single-precision 800/768 makes 768 x f = 799.99997: counts as 800.
        {1024, 768, double(float(800) / float(768)), double(float(800) / float(768)), 1066, 800},
        // The foreground sheet at 1280 x 720: 100 x 0.9375 = 93.75 stays 93.
        {225, 100, double(float(1280) / float(1024)), 0.9375, 281, 93},
        {10, 10, 0.99, 0.95, 9, 9},
        {1000, 1000, 0.9999, 0.99995, 999, 999},
        {1000, 1000, 0.99999991, 0.99999, 1000, 999},
    };
    for (const Case& c : cases) {
        Image* image = CreateImage(c.w, c.h, nullptr);
        ASSERT_EQ(ScaleImage(&image, c.fx, c.fy), 1);
        EXPECT_EQ(ImageWidth(image), c.W) << c.w << " x " << c.fx;
        EXPECT_EQ(ImageHeight(image), c.H) << c.h << " x " << c.fy;
        DestroyImage(image);
    }
}

TEST(ScaleImage, ZeroOrUnusableSizeFailsAndKeepsTheHolder) {
    Image* image = MakeNumberedImage(10, 10);
    Image* original = image;
    const double bad[][2] = {{0.0, 1.0},   {1.0, 0.0}, {0.05, 1.0},     {-1.0, 1.0},
                             {1.0, 1e300}, {NAN, 1.0}, {1.0, INFINITY}, {10000.0, 1.0}};
    for (const auto& f : bad) {
        EXPECT_EQ(ScaleImage(&image, f[0], f[1]), 0) << "factors " << f[0] << ", " << f[1];
        EXPECT_EQ(image, original);
    }
    EXPECT_EQ(*PixelAddress(image, 3, 2), 3 + 32) << "the picture is untouched";
    Image* none = nullptr;
    EXPECT_EQ(ScaleImage(&none, 1.0, 1.0), 0);
    EXPECT_EQ(ScaleImage(nullptr, 1.0, 1.0), 0);
    DestroyImage(image);
}
