// The figure sheet (cells of the scene's sprite table on colour 0, flat grey
// elsewhere) and the foreground sheet (the two gate pieces cut from the
// background).
#include "picturegen.h"
#include "image/compose.h"
#include "scene/tables.h"

namespace {

// Scaled picture sizes of the classes whose building cells are sampled.
constexpr int kClassWidth[kStoredClassCount] = {1024, 800, 640};
constexpr int kClassHeight[kStoredClassCount] = {768, 600, 480};

// The building as it lands in the class's scaled background: the same
// nearest-neighbour sampling, so the sprite drawn over it is seamless.
void PaintBuildingCell(Canvas& cell, const BackgroundPaint& background, int set) {
    const CircleLayoutRow& layout = kCircleLayout[set];
    for (int r = 0; r < cell.height; ++r) {
        for (int c = 0; c < cell.width; ++c) {
            const int sx = ScaledSourceIndex(layout.buildingX + c, ScaleStep(1024, kClassWidth[set]));
            const int sy = ScaledSourceIndex(layout.buildingY + r, ScaleStep(768, kClassHeight[set]));
            if (PixelAt(background.buildingMask, sx, sy)) PutPixel(cell, c, r, PixelAt(background.picture, sx, sy));
        }
    }
}

Canvas PaintCell(const BackgroundPaint& background, int entry) {
    const SpriteCell& s = kStoredSpriteCells[entry];
    const int set = entry / kCellsPerSet, kind = entry % kCellsPerSet;
    Canvas cell = MakeCanvas(s.width, s.height, 0);
    const uint32_t seed = 1000u + static_cast<uint32_t>(entry) * 7919u;
    if (kind < kBuildingKind)
        PaintCrowdClump(cell, 0, 0, s.width, s.height, set, seed);
    else if (kind == kBuildingKind)
        PaintBuildingCell(cell, background, set);
    else if (kind < kRightWalkerFirst)
        PaintWalker(cell, 0, 0, s.width, s.height, 1, seed);
    else if (kind < kLampsKind)
        PaintWalker(cell, 0, 0, s.width, s.height, 0, seed);
    else
        PaintLamps(cell, 0, 0, s.width, s.height);
    return cell;
}

void CopyInto(Canvas& sheet, const Canvas& cell, int x, int y) {
    for (int r = 0; r < cell.height; ++r)
        for (int c = 0; c < cell.width; ++c) PutPixel(sheet, x + c, y + r, PixelAt(cell, c, r));
}

}  // namespace

Canvas PaintFigureSheet(const BackgroundPaint& background) {
    Canvas sheet = MakeCanvas(256, 172, kSheetGrey);
    // Each cell is painted on a canvas of its own size, so nothing it holds
    // can spill outside its rectangle.
    for (int entry = 0; entry < 3 * kCellsPerSet; ++entry) {
        const SpriteCell& s = kStoredSpriteCells[entry];
        CopyInto(sheet, PaintCell(background, entry), s.srcX, s.srcY);
    }
    return sheet;
}

Canvas PaintForegroundSheet(const BackgroundPaint& background) {
    Canvas sheet = MakeCanvas(225, 100, 0);
    const ForegroundPlacementRow& place = kForegroundPlacement[0];
    const SpriteCell pieces[2] = {kStoredSpriteCells[kLeftForegroundCell], kStoredSpriteCells[kRightForegroundCell]};
    const Point at[2] = {{place.leftX, place.leftY}, {place.rightX, place.rightY}};
    for (int i = 0; i < 2; ++i) {
        for (int r = 0; r < pieces[i].height; ++r) {
            for (int c = 0; c < pieces[i].width; ++c) {
                const int bx = at[i].x + c, by = at[i].y + r;
                if (PixelAt(background.foregroundMask, bx, by))
                    PutPixel(sheet, pieces[i].srcX + c, pieces[i].srcY + r, PixelAt(background.picture, bx, by));
            }
        }
    }
    const int stripLeft = pieces[0].srcX + pieces[0].width;
    FillBox(sheet, stripLeft, 0, pieces[1].srcX - stripLeft, sheet.height, kStripGreen);
    return sheet;
}
