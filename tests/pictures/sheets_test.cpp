// Facts about the two sheets against the scene tables: every cell lies in its
// sheet on colour 0 with flat grey around the cells, the building cells are
// the building as it lands in each class's scaled background, and the
// foreground pieces repeat the background where they are not transparent and
// leave the walkers resting at the walkways' near ends in view.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "picture_resources.h"
#include "scene/tables.h"

namespace {

int InsideCell(const SpriteCell& c, int x, int y) {
    return x >= c.srcX && x < c.srcX + c.width && y >= c.srcY && y < c.srcY + c.height;
}

int InsideSheet(const SpriteCell& c, int width, int height) {
    return c.srcX >= 0 && c.srcY >= 0 && c.width > 0 && c.height > 0 && c.srcX + c.width <= width &&
           c.srcY + c.height <= height;
}

// The opaque pixels of a sheet cell, and how many of them differ from the
// background where the cell is drawn at (x, y).
struct CellMatch {
    int opaque;
    int mismatched;
};

CellMatch MatchCellWithBackground(const Image* sheet, const SpriteCell& cell, const Image* background, int x, int y) {
    CellMatch match{0, 0};
    for (int r = 0; r < cell.height; ++r) {
        for (int c = 0; c < cell.width; ++c) {
            const uint8_t p = PixelOf(sheet, cell.srcX + c, cell.srcY + r);
            if (!p) continue;
            ++match.opaque;
            match.mismatched += p != PixelOf(background, x + c, y + r);
        }
    }
    return match;
}

}  // namespace

TEST(FigureSheet, CellsLieInsideTheSheetsWithoutOverlapping) {
    for (int i = 0; i < 3 * kCellsPerSet; ++i) {
        EXPECT_TRUE(InsideSheet(kStoredSpriteCells[i], 256, 172)) << "cell " << i;
        for (int j = i + 1; j < 3 * kCellsPerSet; ++j) {
            const SpriteCell& a = kStoredSpriteCells[i];
            const SpriteCell& b = kStoredSpriteCells[j];
            const int apart = a.srcX + a.width <= b.srcX || b.srcX + b.width <= a.srcX || a.srcY + a.height <= b.srcY ||
                              b.srcY + b.height <= a.srcY;
            EXPECT_TRUE(apart) << "cells " << i << " and " << j << " overlap";
        }
    }
    EXPECT_TRUE(InsideSheet(kStoredSpriteCells[kLeftForegroundCell], 225, 100));
    EXPECT_TRUE(InsideSheet(kStoredSpriteCells[kRightForegroundCell], 225, 100));
}

TEST(FigureSheet, OutsideTheCellsIsOneFlatGrey) {
    ImagePtr sheet = LoadPicture(144);
    ASSERT_NE(sheet, nullptr);
    int grey = -1;
    for (int y = 0; y < 172; ++y) {
        for (int x = 0; x < 256; ++x) {
            int inCell = 0;
            for (int i = 0; i < 3 * kCellsPerSet && !inCell; ++i) inCell = InsideCell(kStoredSpriteCells[i], x, y);
            if (inCell) continue;
            const int p = PixelOf(sheet.get(), x, y);
            if (grey < 0) grey = p;
            ASSERT_EQ(p, grey) << "pixel " << x << "," << y;
        }
    }
    ASSERT_GT(grey, 0);
    const RgbQuad& c = ImageColorTable(sheet.get())[grey];
    const int spread = std::max({c.rgbRed, c.rgbGreen, c.rgbBlue}) - std::min({c.rgbRed, c.rgbGreen, c.rgbBlue});
    EXPECT_LT(spread, 12) << "expected a grey, got " << int(c.rgbRed) << "," << int(c.rgbGreen) << ","
                          << int(c.rgbBlue);
}

TEST(FigureSheet, EveryCellHoldsAFigureOnTransparentGround) {
    ImagePtr sheet = LoadPicture(144);
    ASSERT_NE(sheet, nullptr);
    for (int i = 0; i < 3 * kCellsPerSet; ++i) {
        const SpriteCell& c = kStoredSpriteCells[i];
        int opaque = 0, transparent = 0;
        for (int y = c.srcY; y < c.srcY + c.height; ++y)
            for (int x = c.srcX; x < c.srcX + c.width; ++x) (PixelOf(sheet.get(), x, y) ? opaque : transparent)++;
        // Lamps are thin posts and sparse light; the rest fill much of their cell.
        const int least = i % kCellsPerSet == kLampsKind ? 30 : c.width * c.height / 6;
        EXPECT_GT(opaque, least) << "cell " << i << ": expected a drawn figure, got " << opaque << " pixels";
        EXPECT_GT(transparent, 0) << "cell " << i << " has no transparent pixel";
    }
}

// The building sprite drawn at its place must leave the class's background
// exactly as it was: each opaque pixel equals the scaled background there.
TEST(FigureSheet, BuildingCellsMatchEachClassBackground) {
    ImagePtr sheet = LoadPicture(144);
    ASSERT_NE(sheet, nullptr);
    for (int set = 0; set < 3; ++set) {
        Image* scaled = LoadBitmapResource(145);
        ASSERT_NE(scaled, nullptr);
        ASSERT_EQ(ScaleImage(&scaled, kClassWidths[set] / 1024.0, kClassHeights[set] / 768.0), 1);
        ImagePtr background(scaled);
        const SpriteCell& cell = kStoredSpriteCells[set * kCellsPerSet + kBuildingKind];
        const CircleLayoutRow& layout = kCircleLayout[set];
        const CellMatch match =
            MatchCellWithBackground(sheet.get(), cell, background.get(), layout.buildingX, layout.buildingY);
        const int opaque = match.opaque, mismatched = match.mismatched;
        EXPECT_EQ(mismatched, 0) << "class " << set << ": expected every building pixel to match, " << mismatched
                                 << " of " << opaque << " differ";
        EXPECT_GT(opaque, cell.width * cell.height / 2) << "class " << set;
    }
}

TEST(ForegroundSheet, PiecesRepeatTheBackgroundWhereOpaque) {
    ImagePtr sheet = LoadPicture(164);
    ImagePtr background = LoadPicture(145);
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(background, nullptr);
    const ForegroundPlacementRow& place = kForegroundPlacement[0];
    const int xs[2] = {place.leftX, place.rightX}, ys[2] = {place.leftY, place.rightY};
    for (int piece = 0; piece < 2; ++piece) {
        const SpriteCell& cell = kStoredSpriteCells[kLeftForegroundCell + piece];
        const CellMatch match = MatchCellWithBackground(sheet.get(), cell, background.get(), xs[piece], ys[piece]);
        const int opaque = match.opaque, mismatched = match.mismatched;
        EXPECT_EQ(mismatched, 0) << "piece " << piece << ": " << mismatched << " of " << opaque << " pixels differ";
        EXPECT_GT(opaque, cell.width * cell.height / 8) << "piece " << piece << " hides almost nothing";
    }
}

// A walker resting at the near end (v = 0, any u) is drawn before the pieces;
// no opaque piece pixel may fall on its rectangle.
TEST(ForegroundSheet, RestingWalkersStayInView) {
    ImagePtr sheet = LoadPicture(164);
    ASSERT_NE(sheet, nullptr);
    const ForegroundPlacementRow& place = kForegroundPlacement[0];
    const int xs[2] = {place.leftX, place.rightX}, ys[2] = {place.leftY, place.rightY};
    for (int way = 0; way < 2; ++way) {
        const SpriteCell& piece = kStoredSpriteCells[kLeftForegroundCell + way];
        for (int kind = kLeftWalkerFirst + 2 * way; kind < kLeftWalkerFirst + 2 * way + 2; ++kind) {
            const SpriteCell& walker = kStoredSpriteCells[kind];
            for (int step = 0; step <= 100; ++step) {
                const Point at = QuadPoint(kStoredWalkwayQuads[way], step / 100.0f, 0.0f);
                for (int y = at.y; y < at.y + walker.height; ++y) {
                    for (int x = at.x; x < at.x + walker.width; ++x) {
                        const int c = x - xs[way], r = y - ys[way];
                        if (c < 0 || r < 0 || c >= piece.width || r >= piece.height) continue;
                        ASSERT_EQ(PixelOf(sheet.get(), piece.srcX + c, piece.srcY + r), 0)
                            << "way " << way << " kind " << kind << " at u " << step / 100.0 << " covered at " << x
                            << "," << y;
                    }
                }
            }
        }
    }
}

TEST(ForegroundSheet, PiecesAreSeparatedByAGreyGreenStripOnColourZero) {
    ImagePtr sheet = LoadPicture(164);
    ASSERT_NE(sheet, nullptr);
    const int strip = PixelOf(sheet.get(), 100, 0);
    ASSERT_NE(strip, 0);
    for (int y = 0; y < 100; ++y) {
        for (int x = 100; x < 105; ++x) ASSERT_EQ(PixelOf(sheet.get(), x, y), strip) << "strip at " << x << "," << y;
    }
    for (int x = 0; x < 225; ++x) {
        if (x >= 100 && x < 105) continue;
        EXPECT_EQ(PixelOf(sheet.get(), x, 0), 0) << "row 0 is unused, column " << x;
        EXPECT_EQ(PixelOf(sheet.get(), x, 99), 0) << "row 99 is unused, column " << x;
    }
    const RgbQuad& c = ImageColorTable(sheet.get())[strip];
    EXPECT_GT(c.rgbGreen, c.rgbRed) << "expected a grey-green";
    EXPECT_GT(c.rgbGreen, c.rgbBlue) << "expected a grey-green";
}
