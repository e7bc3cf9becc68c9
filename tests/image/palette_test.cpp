// Facts about the scene palette: its layout for displays with 20, an odd
// number and no static colours, the nearest-colour rule, and translation.
#include <gtest/gtest.h>

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

// Checks entries: [0, h) and [256 - h, 256) system with `systemFlags`, the
// rest the image's colours 0.. with PC_RESERVED.
void ExpectLayout(const Palette* palette, const Image* image, int h, uint8_t systemFlags) {
    for (int i = 0; i < 256; ++i) {
        const PaletteEntry& e = palette->entries[i];
        if (i < h || i >= 256 - h) {
            ASSERT_EQ(e.peRed, 255 - i) << "entry " << i << " should be the system's";
            ASSERT_EQ(e.peGreen, i) << "entry " << i;
            ASSERT_EQ(e.peFlags, systemFlags) << "entry " << i;
        } else {
            const RgbQuad& q = ImageColorTable(image)[i - h];
            ASSERT_EQ(e.peRed, q.rgbRed) << "entry " << i << " should be colour " << i - h;
            ASSERT_EQ(e.peGreen, q.rgbGreen) << "entry " << i;
            ASSERT_EQ(e.peBlue, q.rgbBlue) << "entry " << i;
            ASSERT_EQ(e.peFlags, kPcReserved) << "entry " << i;
        }
    }
}

Palette* PaletteFor(const Image* image, int staticColors, int paletteSize) {
    DisplayPaletteInfo display = TestDisplay(staticColors, paletteSize);
    return CreateScenePaletteFor(image, &display);
}

// A palette made of the given colours, the rest white.
Palette* PaletteOf(std::initializer_list<RgbQuad> colours) {
    Image* image = MakeTestImage(1, 1);
    for (int i = 0; i < 256; ++i) ImageColorTable(image)[i] = {255, 255, 255, 0};
    int i = 0;
    for (const RgbQuad& q : colours) ImageColorTable(image)[i++] = q;
    Palette* palette = PaletteFor(image, -1, 0);
    DestroyImage(image);
    return palette;
}

}  // namespace

TEST(CreateScenePalette, TwentyStaticColoursKeepTenAtEachEnd) {
    Image* image = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(image, 20, 256);
    ASSERT_NE(palette, nullptr);
    ExpectLayout(palette, image, 10, 0);
    EXPECT_EQ(palette->entries[10].peRed, ImageColorTable(image)[0].rgbRed);
    EXPECT_EQ(palette->entries[245].peBlue, ImageColorTable(image)[235].rgbBlue);
    DestroyPalette(palette);
    DestroyImage(image);
}

TEST(CreateScenePalette, NoHardwarePaletteGivesTheImageColoursThroughout) {
    Image* image = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(image, -1, 0);
    ASSERT_NE(palette, nullptr);
    ExpectLayout(palette, image, 0, 0);
    DestroyPalette(palette);
    DestroyImage(image);
}

TEST(CreateScenePalette, OddStaticCountReservesTheHalfRoundedDown) {
    Image* image = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(image, 7, 256);
    ASSERT_NE(palette, nullptr);
    ExpectLayout(palette, image, 3, 0);
    DestroyPalette(palette);
    DestroyImage(image);
}

TEST(CreateScenePalette, SystemFlagsAreClearedOnlyWithinThePaletteSize) {
    Image* image = MakeTestImage(2, 2);
    // A palette of 4 hardware entries: entries 4 and up keep the flags read.
    Palette* palette = PaletteFor(image, 20, 4);
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->entries[3].peFlags, 0);
    EXPECT_EQ(palette->entries[4].peFlags, 0x02);
    EXPECT_EQ(palette->entries[255].peFlags, 0x02);
    DestroyPalette(palette);
    DestroyImage(image);
}

TEST(CreateScenePalette, AbsurdStaticCountsStayInsideThePalette) {
    Image* image = MakeTestImage(2, 2);
    Palette* negative = PaletteFor(image, -7, 0);
    ASSERT_NE(negative, nullptr);
    ExpectLayout(negative, image, 0, 0x02);
    Palette* huge = PaletteFor(image, 100000, 100000);
    ASSERT_NE(huge, nullptr);
    ExpectLayout(huge, image, 128, 0);
    DestroyPalette(negative);
    DestroyPalette(huge);
    DestroyImage(image);
}

TEST(CreateScenePalette, FromThePlatformDisplay) {
    Image* image = MakeTestImage(2, 2);
    Palette* palette = CreateScenePalette(image);
    ASSERT_NE(palette, nullptr);
    DisplayPaletteInfo display;
    ReadDisplayPalette(&display);
    int h = display.staticColors > 0 ? display.staticColors / 2 : 0;
    EXPECT_EQ(palette->entries[h].peRed, ImageColorTable(image)[0].rgbRed);
    EXPECT_EQ(palette->entries[h].peFlags, kPcReserved);
    EXPECT_EQ(CreateScenePalette(nullptr), nullptr);
    DestroyPalette(palette);
    DestroyImage(image);
}

TEST(NearestPaletteIndex, FindsAnExactMatch) {
    Palette* palette = PaletteOf({{0, 0, 0, 0}, {10, 20, 30, 0}, {11, 20, 30, 0}, {12, 20, 30, 0}});
    ASSERT_NE(palette, nullptr);
    // RgbQuad is blue, green, red: entry 2 is red 30, green 20, blue 11.
    EXPECT_EQ(NearestPaletteIndex(palette, 30, 20, 11), 2);
    EXPECT_EQ(NearestPaletteIndex(palette, 30, 20, 12), 3);
    EXPECT_EQ(NearestPaletteIndex(palette, 255, 255, 255), 4);
    DestroyPalette(palette);
}

TEST(NearestPaletteIndex, GoesByColourDistanceAndTiesToTheLowestIndex) {
    Palette* palette = PaletteOf({{0, 0, 100, 0}, {0, 0, 120, 0}, {0, 0, 110, 0}, {0, 0, 110, 0}});
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(NearestPaletteIndex(palette, 104, 0, 0), 0);
    EXPECT_EQ(NearestPaletteIndex(palette, 105, 0, 0), 0) << "100 and 110 equally close";
    EXPECT_EQ(NearestPaletteIndex(palette, 110, 0, 0), 2) << "two exact matches: the lower";
    EXPECT_EQ(NearestPaletteIndex(palette, 116, 0, 0), 1);
    DestroyPalette(palette);
}

TEST(RemapImage, BlackBecomesIndexZeroThoughOtherEntriesAreBlack) {
    Image* background = MakeTestImage(2, 2);
    for (int i = 0; i < 256; ++i) ImageColorTable(background)[i] = {uint8_t(i), 1, 1, 0};
    ImageColorTable(background)[0] = {0, 0, 0, 0};
    ImageColorTable(background)[50] = {0, 0, 0, 0};
    // No hardware palette: entries 0 and 50 are black.
    Palette* palette = PaletteFor(background, -1, 0);
    ASSERT_NE(palette, nullptr);

    Image* sheet = MakeTestImage(3, 1);
    ImageColorTable(sheet)[0] = {0, 0, 0, 0};
    ImageColorTable(sheet)[7] = {0, 0, 0, 0};
    *PixelAddress(sheet, 0, 0) = 0;
    *PixelAddress(sheet, 1, 0) = 7;
    EXPECT_EQ(RemapImage(sheet, palette), 1);
    EXPECT_EQ(*PixelAddress(sheet, 0, 0), 0);
    EXPECT_EQ(*PixelAddress(sheet, 1, 0), 0) << "expected black to map to index 0";
    DestroyImage(sheet);
    DestroyPalette(palette);
    DestroyImage(background);
}

TEST(RemapImage, ColourTableBecomesThePaletteAndPixelsTheNearestIndex) {
    Image* background = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(background, 20, 256);
    ASSERT_NE(palette, nullptr);

    Image* image = MakeNumberedImage(9, 7);
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
    DestroyImage(image);
    DestroyPalette(palette);
    DestroyImage(background);
}

TEST(RemapImage, TranslatesRowPaddingToo) {
    Image* background = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(background, 20, 256);
    Image* image = MakeTestImage(5, 2);  // stride 8: three padding bytes per row
    ASSERT_EQ(RemapImage(image, palette), 1);
    EXPECT_EQ(ImagePixels(image)[5], 10) << "padding of colour 0 maps like any pixel";
    EXPECT_EQ(ImagePixels(image)[15], 10);
    DestroyImage(image);
    DestroyPalette(palette);
    DestroyImage(background);
}

TEST(RemapImage, AllocatesAMissingTableAndNeedsAPalette) {
    Image* background = MakeTestImage(2, 2);
    Palette* palette = PaletteFor(background, 20, 256);
    Image* image = MakeTestImage(4, 1);
    free(image->remap);
    image->remap = nullptr;
    EXPECT_EQ(RemapImage(image, palette), 1);
    ASSERT_NE(image->remap, nullptr);
    EXPECT_EQ(image->remap->map[3], 13);
    DestroyPalette(palette);
    EXPECT_EQ(RemapImage(image, nullptr), 0) << "no palette at all";
    DestroyImage(image);
    DestroyImage(background);
}
