// Facts about the Image record: creation, stride and padding, the display
// descriptor, and where PixelAddress points.
#include <gtest/gtest.h>

#include "test_images.h"

TEST(CreateImage, FillsTheHeaderAsAnUncompressed8BitDib) {
    Image* image = CreateImage(225, 100, nullptr);
    ASSERT_NE(image, nullptr);
    const BitmapInfoHeader& info = image->header->info;
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 225);
    EXPECT_EQ(info.biHeight, 100);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 8);
    EXPECT_EQ(info.biCompression, kBiRgb);
    EXPECT_EQ(info.biSizeImage, 228u * 100u);
    EXPECT_EQ(info.biClrUsed, 0u);
    EXPECT_NE(image->remap, nullptr);
    DestroyImage(image);
}

TEST(CreateImage, StrideRoundsTheWidthUpToFour) {
    const int widths[] = {1, 2, 3, 4, 5, 225, 228, 1023};
    const int strides[] = {4, 4, 4, 4, 8, 228, 228, 1024};
    for (size_t i = 0; i < std::size(widths); ++i) {
        Image* image = CreateImage(widths[i], 2, nullptr);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(ImageStride(image), strides[i]) << "width " << widths[i];
        DestroyImage(image);
    }
}

TEST(CreateImage, EveryByteIncludingPaddingIsZero) {
    Image* image = CreateImage(225, 3, nullptr);
    ASSERT_NE(image, nullptr);
    for (int i = 0; i < 228 * 3; ++i) ASSERT_EQ(ImagePixels(image)[i], 0) << "expected 0 at byte " << i;
    DestroyImage(image);
}

TEST(CreateImage, CopiesTheSourceColourTable) {
    Image* source = MakeTestImage(4, 4);
    Image* copy = CreateImage(8, 2, source);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(memcmp(ImageColorTable(copy), ImageColorTable(source), 1024), 0);
    EXPECT_EQ(reinterpret_cast<uint8_t*>(ImageColorTable(copy)), reinterpret_cast<uint8_t*>(copy->header) + 40);
    DestroyImage(copy);
    DestroyImage(source);
}

TEST(CreateImage, RefusesSizesThatAreNotPositiveOrTooLarge) {
    EXPECT_EQ(CreateImage(0, 10, nullptr), nullptr);
    EXPECT_EQ(CreateImage(10, 0, nullptr), nullptr);
    EXPECT_EQ(CreateImage(-4, 10, nullptr), nullptr);
    EXPECT_EQ(CreateImage(10, -4, nullptr), nullptr);
    EXPECT_EQ(CreateImage(kMaxImageSide + 1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateImage(1, kMaxImageSide + 1, nullptr), nullptr);
}

TEST(BuildDisplayInfo, CopiesTheHeaderWithoutColourCountAndListsIndices) {
    Image* image = CreateImage(6, 5, nullptr);
    ASSERT_NE(image, nullptr);
    image->header->info.biClrUsed = 256;
    DisplayInfo* display = BuildDisplayInfo(image);
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(image->displayInfo, display);
    EXPECT_EQ(display->info.biClrUsed, 0u);
    EXPECT_EQ(display->info.biWidth, 6);
    EXPECT_EQ(display->info.biHeight, 5);
    EXPECT_EQ(display->info.biSizeImage, 40u);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(display->indices[i], i);
    DestroyImage(image);
}

TEST(PixelAddress, CountsRowsFromTheTopOfABottomUpBuffer) {
    Image* image = CreateImage(225, 100, nullptr);
    ASSERT_NE(image, nullptr);
    uint8_t* base = ImagePixels(image);
    EXPECT_EQ(PixelAddress(image, 0, 0) - base, 99 * 228) << "(0,0) is the last stored row";
    EXPECT_EQ(PixelAddress(image, 0, 99) - base, 0) << "(0,h-1) is the first byte";
    EXPECT_EQ(PixelAddress(image, 224, 0) - base, 99 * 228 + 224);
    EXPECT_EQ(PixelAddress(image, 224, 99) - base, 224);
    EXPECT_EQ(PixelAddress(image, 7, 10) - base, (100 - 1 - 10) * 228 + 7);
    DestroyImage(image);
}
