// Facts about the four bitmap resources as the program finds them by id:
// sizes, encodings, header fields and the one master colour table.
#include <gtest/gtest.h>

#include "picture_resources.h"

namespace {

struct Expected {
    int id, width, height;
    uint32_t compression, clrUsed;
};

constexpr Expected kPictures[] = {
    {143, 152, 112, kBiRle8, 0},
    {144, 256, 172, kBiRle8, 256},
    {145, 1024, 768, kBiRle8, 0},
    {164, 225, 100, kBiRgb, 0},
};

}  // namespace

TEST(PictureResources, EveryPictureLoadsByIdWithItsSize) {
    for (const Expected& e : kPictures) {
        ImagePtr image = LoadPicture(e.id);
        ASSERT_NE(image, nullptr) << "resource " << e.id;
        EXPECT_EQ(ImageWidth(image.get()), e.width) << "resource " << e.id;
        EXPECT_EQ(ImageHeight(image.get()), e.height) << "resource " << e.id;
    }
}

TEST(PictureResources, HeadersCarryTheEncodingAndFields) {
    for (const Expected& e : kPictures) {
        RawDib dib;
        ASSERT_TRUE(FindRawDib(e.id, &dib)) << "resource " << e.id;
        EXPECT_EQ(dib.info.biSize, 40u);
        EXPECT_EQ(dib.info.biPlanes, 1);
        EXPECT_EQ(dib.info.biBitCount, 8);
        EXPECT_EQ(dib.info.biCompression, e.compression) << "resource " << e.id;
        EXPECT_EQ(dib.info.biClrUsed, e.clrUsed) << "resource " << e.id;
        EXPECT_EQ(dib.info.biClrImportant, e.clrUsed) << "resource " << e.id;
        // The pixel data follows the 256-entry table and is exactly biSizeImage long.
        EXPECT_EQ(dib.size, sizeof(ImageHeader) + dib.info.biSizeImage) << "resource " << e.id;
    }
    RawDib foreground;
    ASSERT_TRUE(FindRawDib(164, &foreground));
    EXPECT_EQ(foreground.info.biSizeImage, 22800u);
}

TEST(PictureResources, AllShareOneColourTableWithBlackAtZero) {
    ImagePtr background = LoadPicture(145);
    ASSERT_NE(background, nullptr);
    const RgbQuad* master = ImageColorTable(background.get());
    EXPECT_EQ(master[0].rgbRed | master[0].rgbGreen | master[0].rgbBlue, 0) << "colour 0 is black";
    for (int i = 236; i < 256; ++i)
        EXPECT_EQ(master[i].rgbRed | master[i].rgbGreen | master[i].rgbBlue, 0) << "entry " << i << " is black";
    for (int id : {143, 144, 164}) {
        ImagePtr other = LoadPicture(id);
        ASSERT_NE(other, nullptr);
        EXPECT_EQ(std::memcmp(ImageColorTable(other.get()), master, 256 * sizeof(RgbQuad)), 0)
            << "resource " << id << " has the background's colour table";
    }
}

TEST(PictureResources, BackgroundsUseOnlyTheFirst236Colours) {
    for (int id : {145, 143}) {
        ImagePtr image = LoadPicture(id);
        ASSERT_NE(image, nullptr);
        int highest = 0;
        for (int y = 0; y < ImageHeight(image.get()); ++y)
            for (int x = 0; x < ImageWidth(image.get()); ++x)
                highest = std::max<int>(highest, PixelOf(image.get(), x, y));
        EXPECT_LE(highest, 235) << "resource " << id << ": expected indices up to 235, got " << highest;
    }
}

TEST(PictureResources, SheetsDrawBlackOnlyWithIndexZero) {
    for (int id : {144, 164}) {
        ImagePtr image = LoadPicture(id);
        ASSERT_NE(image, nullptr);
        const RgbQuad* table = ImageColorTable(image.get());
        for (int y = 0; y < ImageHeight(image.get()); ++y) {
            for (int x = 0; x < ImageWidth(image.get()); ++x) {
                const uint8_t p = PixelOf(image.get(), x, y);
                const RgbQuad& c = table[p];
                if (p != 0) {
                    ASSERT_NE(c.rgbRed | c.rgbGreen | c.rgbBlue, 0) << "resource " << id << " pixel " << x << "," << y;
                }
            }
        }
    }
}
