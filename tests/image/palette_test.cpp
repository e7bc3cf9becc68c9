// Facts about the scene palette: its layout for displays with 20, an odd
// number and no static colours, the nearest-colour rule, and translation.
#include <gtest/gtest.h>

#include <vector>

#include "image/palette.h"
#include "image/ports.h"
#include "test_images.h"

namespace {

// A display whose system entry i is (255 - i, i, 128, flags 0x02).
DisplayPaletteInfo TestDisplay(int staticColors, int paletteSize) {
    DisplayPaletteInfo d{};
    d.staticColors = staticColors;
    d.paletteSize = paletteSize;
    for (int i = 0; i < 256; ++i) d.systemEntries[i] = {uint8_t(255 - i), uint8_t(i), 128, 0x02};
    return d;
}

// Owns what a test makes: a background of MakeTestImage's colours, and the
// palettes and images made for it.
class PaletteTest : public ::testing::Test {
  protected:
    void SetUp() override { background = Keep(MakeTestImage(2, 2)); }
    void TearDown() override {
        for (Palette* palette : palettes) DestroyPalette(palette);
        for (Image* image : images) DestroyImage(image);
    }
    Image* Keep(Image* image) {
        images.push_back(image);
        return image;
    }
    Palette* Keep(Palette* palette) {
        palettes.push_back(palette);
        return palette;
    }
    Palette* PaletteFor(const Image* image, int staticColors, int paletteSize) {
        const DisplayPaletteInfo display = TestDisplay(staticColors, paletteSize);
        return Keep(CreateScenePaletteFor(image, &display));
    }

    Image* background = nullptr;
    std::vector<Palette*> palettes;
    std::vector<Image*> images;
};

// Entries [0, h) and [256 - h, 256) are the system's, their flags cleared
// below `clearedBelow` and as read above; the rest are the image's colours
// 0.. with PC_RESERVED.
void ExpectLayout(const Palette* palette, const Image* image, int h, int clearedBelow) {
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries[i];
        if (i < h || i >= 256 - h) {
            ASSERT_EQ(e.peRed, 255 - i) << "entry " << i << " should be the system's";
            ASSERT_EQ(e.peGreen, i) << "entry " << i;
            ASSERT_EQ(e.peFlags, i < clearedBelow ? 0 : 0x02) << "entry " << i;
        } else {
            const RgbQuad& q = ImageColorTable(image)[i - h];
            ASSERT_EQ(e.peRed, q.rgbRed) << "entry " << i << " should be colour " << i - h;
            ASSERT_EQ(e.peGreen, q.rgbGreen) << "entry " << i;
            ASSERT_EQ(e.peBlue, q.rgbBlue) << "entry " << i;
            ASSERT_EQ(e.peFlags, kPcReserved) << "entry " << i;
        }
    }
}

}  // namespace

// Half the static colours at each end, kept inside the palette, and the
// system flags cleared only within the hardware palette's size.
TEST_F(PaletteTest, LayoutFollowsTheDisplaysStaticColoursAndPaletteSize) {
    const struct {
        int staticColors, paletteSize, reservedAtEachEnd, clearedBelow;
    } cases[] = {
        {20, 256, 10, 256}, {-1, 0, 0, 0},  // no hardware palette: the image's colours throughout
        {7, 256, 3, 256},   {20, 4, 10, 4}, {-7, 0, 0, 0}, {100000, 100000, 128, 256},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.staticColors << " static colours, palette size " << c.paletteSize);
        const Palette* palette = PaletteFor(background, c.staticColors, c.paletteSize);
        ASSERT_NE(palette, nullptr);
        ExpectLayout(palette, background, c.reservedAtEachEnd, c.clearedBelow);
    }
}

TEST_F(PaletteTest, FromThePlatformDisplay) {
    const Palette* palette = Keep(CreateScenePalette(background));
    ASSERT_NE(palette, nullptr);
    DisplayPaletteInfo display;
    ReadDisplayPalette(&display);
    int h = display.staticColors > 0 ? display.staticColors / 2 : 0;
    EXPECT_EQ(palette->entries[h].peRed, ImageColorTable(background)[0].rgbRed);
    EXPECT_EQ(palette->entries[h].peFlags, kPcReserved);
    EXPECT_EQ(CreateScenePalette(nullptr), nullptr);
}

// By squared distance; an exact match wins, and ties go to the lowest index.
TEST_F(PaletteTest, NearestIndex) {
    Image* image = Keep(MakeTestImage(1, 1));
    // RgbQuad is blue, green, red: entry 2 is red 30, green 20, blue 11.
    const RgbQuad colours[] = {{0, 0, 0, 0},   {10, 20, 30, 0}, {11, 20, 30, 0}, {12, 20, 30, 0},
                               {0, 0, 100, 0}, {0, 0, 120, 0},  {0, 0, 110, 0},  {0, 0, 110, 0}};
    for (int i = 0; i < 256; ++i) ImageColorTable(image)[i] = i < 8 ? colours[i] : RgbQuad{255, 255, 255, 0};
    const Palette* palette = PaletteFor(image, -1, 0);
    ASSERT_NE(palette, nullptr);
    const struct {
        uint8_t red, green, blue;
        int nearest;
        const char* why;
    } cases[] = {
        {0, 0, 0, 0, "exact"},
        {30, 20, 11, 2, "exact"},
        {30, 20, 12, 3, "exact"},
        {255, 255, 255, 8, "the first white"},
        {104, 0, 0, 4, "nearest"},
        {105, 0, 0, 4, "100 and 110 equally close: the lower"},
        {110, 0, 0, 6, "two exact matches: the lower"},
        {116, 0, 0, 5, "nearest"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NearestPaletteIndex(palette, c.red, c.green, c.blue), c.nearest)
            << "(" << int(c.red) << ", " << int(c.green) << ", " << int(c.blue) << "): " << c.why;
    }
    EXPECT_EQ(NearestPaletteIndex(nullptr, 0, 0, 0), -1) << "no palette";
}

TEST_F(PaletteTest, RemapTurnsBlackIntoIndexZeroThoughOtherEntriesAreBlack) {
    for (int i = 0; i < 256; ++i) ImageColorTable(background)[i] = {uint8_t(i), 1, 1, 0};
    ImageColorTable(background)[0] = {0, 0, 0, 0};
    ImageColorTable(background)[50] = {0, 0, 0, 0};
    // No hardware palette: entries 0 and 50 are black.
    const Palette* palette = PaletteFor(background, -1, 0);
    ASSERT_NE(palette, nullptr);

    Image* sheet = Keep(MakeTestImage(3, 1));
    ImageColorTable(sheet)[0] = {0, 0, 0, 0};
    ImageColorTable(sheet)[7] = {0, 0, 0, 0};
    *PixelAddress(sheet, 0, 0) = 0;
    *PixelAddress(sheet, 1, 0) = 7;
    EXPECT_EQ(RemapImage(sheet, palette), 1);
    EXPECT_EQ(*PixelAddress(sheet, 0, 0), 0);
    EXPECT_EQ(*PixelAddress(sheet, 1, 0), 0) << "expected black to map to index 0";
}

TEST_F(PaletteTest, RemapMakesTheColourTableThePaletteAndPixelsAndPaddingTheNearestIndex) {
    const Palette* palette = PaletteFor(background, 20, 256);
    ASSERT_NE(palette, nullptr);

    Image* image = Keep(MakeNumberedImage(9, 7));  // stride 12: three padding bytes of 0 a row
    ImageColorTable(image)[5].rgbReserved = 0x77;
    std::vector<RgbQuad> before(ImageColorTable(image), ImageColorTable(image) + 256);
    std::vector<uint8_t> pixels = RowsTopDown(image);
    ASSERT_EQ(RemapImage(image, palette), 1);

    for (int i = 0; i < 256; ++i) {
        const RgbQuad& q = ImageColorTable(image)[i];
        const PaletteEntry& e = palette->entries[i];
        ASSERT_TRUE(q.rgbRed == e.peRed && q.rgbGreen == e.peGreen && q.rgbBlue == e.peBlue)
            << "colour table entry " << i << " differs from the palette";
    }
    EXPECT_EQ(ImageColorTable(image)[5].rgbReserved, 0x77);
    std::vector<uint8_t> after = RowsTopDown(image);
    for (size_t k = 0; k < pixels.size(); ++k) {
        const RgbQuad& old = before[pixels[k]];
        int nearest = NearestPaletteIndex(palette, old.rgbRed, old.rgbGreen, old.rgbBlue);
        ASSERT_EQ(after[k], nearest) << "pixel " << k << " of former colour " << int(pixels[k]);
        ASSERT_EQ(after[k], image->remap->map[pixels[k]]);
    }
    // The background's colours 0..235 sit at 10..245 and are found exactly.
    EXPECT_EQ(image->remap->map[0], 10);
    EXPECT_EQ(image->remap->map[100], 110);
    for (int row = 0; row < 7; ++row) {
        for (int column = 9; column < 12; ++column)
            ASSERT_EQ(ImagePixels(image)[row * 12 + column], 10) << "padding of colour 0 maps like any pixel";
    }
}

TEST_F(PaletteTest, RemapAllocatesAMissingTableAndNeedsAPalette) {
    const Palette* palette = PaletteFor(background, 20, 256);
    Image* image = Keep(MakeTestImage(4, 1));
    free(image->remap);
    image->remap = nullptr;
    EXPECT_EQ(RemapImage(image, palette), 1);
    ASSERT_NE(image->remap, nullptr);
    EXPECT_EQ(image->remap->map[3], 13);
    EXPECT_EQ(RemapImage(image, nullptr), 0) << "no palette at all";
}
