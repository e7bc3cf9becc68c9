// Facts about loading DIBs: the program's own bitmap resources (test bitmaps
// 901 and 902, built into this test program), and what the loader refuses.
#include <gtest/gtest.h>

#include "image/ports.h"
#include "test_images.h"

namespace {

// Colour i of the test bitmaps: blue i, green 255 - i, red 3 i.
void ExpectTestColourTable(const Image* image) {
    for (int i = 0; i < 256; ++i) {
        const RgbQuad& q = ImageColorTable(image)[i];
        ASSERT_EQ(q.rgbBlue, i);
        ASSERT_EQ(q.rgbGreen, 255 - i);
        ASSERT_EQ(q.rgbRed, (3 * i) & 255);
    }
}

}  // namespace

TEST(LoadBitmapResource, ReadsAnUncompressedResourceWithItsPadding) {
    Image* image = LoadBitmapResource(901);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ImageWidth(image), 5);
    EXPECT_EQ(ImageHeight(image), 3);
    EXPECT_EQ(ImageStride(image), 8);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(*PixelAddress(image, x, y), 10 * y + x + 1) << "pixel " << x << "," << y;
    EXPECT_EQ(*PixelAddress(image, 5, 0), 0xEE) << "row padding is copied as stored";
    ExpectTestColourTable(image);
    EXPECT_EQ(image->displayInfo, nullptr);
    EXPECT_NE(image->remap, nullptr);
    DestroyImage(image);
}

TEST(LoadBitmapResource, DecodesAnRle8Resource) {
    Image* image = LoadBitmapResource(902);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(ImageWidth(image), 6);
    ASSERT_EQ(ImageHeight(image), 4);
    const std::vector<uint8_t> expected = {
        10, 11, 12, 13, 5, 5,  // even absolute run, then a run
        0,  0,  0,  0,  0, 0,  // end of line at column 0: row left as it was
        1,  2,  3,  9,  9, 9,  // odd absolute run, its pad byte skipped
        7,  7,  7,  7,  7, 7,  // bottom row
    };
    EXPECT_EQ(RowsTopDown(image), expected);
    ExpectTestColourTable(image);
    EXPECT_EQ(image->header->info.biCompression, kBiRgb) << "the record describes decoded pixels";
    DestroyImage(image);
}

TEST(LoadBitmapResource, MissingIdGivesNull) {
    EXPECT_EQ(LoadBitmapResource(12345), nullptr);
    const uint8_t* data = nullptr;
    size_t size = 0;
    EXPECT_EQ(FindBitmapResource(12345, &data, &size), 0);
    EXPECT_EQ(FindBitmapResource(901, &data, &size), 1);
    EXPECT_EQ(size, 1064u + 24u) << "resource 901 is the BMP file less its 14-byte file header";
}

TEST(LoadBitmapFromDib, RefusesUnsoundHeaders) {
    const std::vector<uint8_t> pixels(64, 1);
    struct Case {
        const char* what;
        BitmapInfoHeader info;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change) {
        BitmapInfoHeader info = DibInfo(4, 4, kBiRgb, 16);
        change(info);
        cases.push_back({what, info});
    };
    add("biSize 12", [](BitmapInfoHeader& i) { i.biSize = 12; });
    add("biSize 124", [](BitmapInfoHeader& i) { i.biSize = 124; });
    add("width 0", [](BitmapInfoHeader& i) { i.biWidth = 0; });
    add("negative width", [](BitmapInfoHeader& i) { i.biWidth = -4; });
    add("top-down height", [](BitmapInfoHeader& i) { i.biHeight = -4; });
    add("height 0", [](BitmapInfoHeader& i) { i.biHeight = 0; });
    add("huge width", [](BitmapInfoHeader& i) { i.biWidth = 0x7fffffff; });
    add("width x height overflows", [](BitmapInfoHeader& i) {
        i.biWidth = 0x10000;
        i.biHeight = 0x10000;
    });
    add("most negative height", [](BitmapInfoHeader& i) { i.biHeight = INT32_MIN; });
    add("4 bits per pixel", [](BitmapInfoHeader& i) { i.biBitCount = 4; });
    add("24 bits per pixel", [](BitmapInfoHeader& i) { i.biBitCount = 24; });
    add("BI_RLE4", [](BitmapInfoHeader& i) { i.biCompression = 2; });
    add("BI_BITFIELDS", [](BitmapInfoHeader& i) { i.biCompression = 3; });
    for (const Case& c : cases) {
        std::vector<uint8_t> dib = MakeDib(c.info, pixels);
        EXPECT_EQ(LoadBitmapFromDib(dib.data(), dib.size()), nullptr) << "expected null for " << c.what;
    }
}

TEST(LoadBitmapFromDib, RefusesDataShorterThanHeaderAndColourTable) {
    std::vector<uint8_t> dib = MakeDib(DibInfo(4, 4, kBiRgb, 0), {});
    ASSERT_EQ(dib.size(), 1064u);
    for (size_t size : {size_t{0}, size_t{39}, size_t{40}, size_t{1063}})
        EXPECT_EQ(LoadBitmapFromDib(dib.data(), size), nullptr) << "size " << size;
    EXPECT_EQ(LoadBitmapFromDib(nullptr, 5000), nullptr);
    Image* empty = LoadBitmapFromDib(dib.data(), dib.size());
    ASSERT_NE(empty, nullptr) << "a DIB with no pixel data loads as a blank picture";
    EXPECT_EQ(RowsTopDown(empty), std::vector<uint8_t>(16, 0));
    DestroyImage(empty);
}

TEST(LoadBitmapFromDib, UncompressedCopyStopsAtTheBufferAndTheData) {
    // biSizeImage larger than the buffer: only the buffer is filled.
    std::vector<uint8_t> data(100, 9);
    std::vector<uint8_t> dib = MakeDib(DibInfo(4, 2, kBiRgb, 100), data);
    Image* image = LoadBitmapFromDib(dib.data(), dib.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(RowsTopDown(image), std::vector<uint8_t>(8, 9));
    DestroyImage(image);

    // biSizeImage larger than the data present: the rest stays 0.
    dib = MakeDib(DibInfo(4, 2, kBiRgb, 8), {1, 2, 3});
    image = LoadBitmapFromDib(dib.data(), dib.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(RowsTopDown(image), (std::vector<uint8_t>{0, 0, 0, 0, 1, 2, 3, 0}));
    DestroyImage(image);
}

TEST(LoadBitmapFromDib, UncompressedSizeImageZeroMeansTheWholeBuffer) {
    std::vector<uint8_t> dib = MakeDib(DibInfo(2, 2, kBiRgb, 0), {1, 2, 0, 0, 3, 4, 0, 0});
    Image* image = LoadBitmapFromDib(dib.data(), dib.size());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(RowsTopDown(image), (std::vector<uint8_t>{3, 4, 1, 2}));
    DestroyImage(image);
}
