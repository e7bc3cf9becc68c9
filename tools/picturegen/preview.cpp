// The small pictures made from the large one: the preview bitmap and the
// icon, both area-averaged and then mapped back to the master palette.
#include "picturegen.h"
#include "scene/tables.h"

namespace {

struct RgbSum {
    double r = 0, g = 0, b = 0, n = 0;
};

// Averages the source pixels whose centres fall in the destination pixel's box.
Canvas AreaAverage(const Canvas& source, int sx, int sy, int sw, int sh, int width, int height) {
    const std::array<Rgb, 256> palette = MasterPalette();
    Canvas out = MakeCanvas(width, height, 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            RgbSum sum;
            const int x0 = sx + x * sw / width, x1 = sx + (x + 1) * sw / width;
            const int y0 = sy + y * sh / height, y1 = sy + (y + 1) * sh / height;
            for (int v = y0; v < std::max(y1, y0 + 1); ++v)
                for (int u = x0; u < std::max(x1, x0 + 1); ++u) {
                    const Rgb& c = palette[PixelAt(source, u, v)];
                    sum.r += c.r;
                    sum.g += c.g;
                    sum.b += c.b;
                    sum.n += 1;
                }
            PutPixel(out, x, y, NearestIndex(palette, sum.r / sum.n, sum.g / sum.n, sum.b / sum.n));
        }
    }
    return out;
}

}  // namespace

namespace {

void DrawCell(Canvas& picture, const Canvas& sheet, int entry, int x, int y) {
    const SpriteCell& cell = kStoredSpriteCells[entry];
    for (int r = 0; r < cell.height; ++r)
        for (int c = 0; c < cell.width; ++c) {
            const uint8_t p = PixelAt(sheet, cell.srcX + c, cell.srcY + r);
            if (p) PutPixel(picture, x + c, y + r, p);
        }
}

// The scene as the saver first shows it: the crowd of fifty (the default)
// on its two rings, far half, building, near half, then the lamps.
Canvas ComposeStillScene(const Canvas& background, const Canvas& figureSheet) {
    Canvas picture = background;
    const CircleLayoutRow& c = kCircleLayout[0];
    const int count = 50;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < count; ++i) {
            const double a = i * (6.283185307 / count);
            const int inner = i % 2 == 0;
            const int x = static_cast<int>(std::sin(a) * (inner ? c.innerRadiusX : c.outerRadiusX)) +
                          (inner ? c.innerCentreX : c.outerCentreX);
            const int y = static_cast<int>(std::cos(a) * (inner ? c.innerRadiusY : c.outerRadiusY)) +
                          (inner ? c.innerCentreY : c.outerCentreY);
            if ((y < c.innerCentreY) == (pass == 0)) DrawCell(picture, figureSheet, i % 5, x, y);
        }
        if (pass == 0) DrawCell(picture, figureSheet, kBuildingKind, c.buildingX, c.buildingY);
    }
    DrawCell(picture, figureSheet, kLampsKind, c.lampsX, c.lampsY);
    return picture;
}

}  // namespace

Canvas PaintPreview(const Canvas& background, const Canvas& figureSheet) {
    return AreaAverage(ComposeStillScene(background, figureSheet), 0, 0, 1024, 768, 152, 112);
}

Canvas PaintIcon(const BackgroundPaint& background, int size) {
    // The building on a night sky: its cut-out over a sky gradient and a
    // strip of lit pavement, framed square.
    const CircleLayoutRow& layout = kCircleLayout[0];
    const int side = 84, left = layout.buildingX + 31 - side / 2, top = layout.buildingY - 4;
    Canvas square = MakeCanvas(side, side, 0);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const int bx = left + x, by = top + y;
            uint8_t p = DitheredShade(kSky, 2.0 + y * 0.09, x, y);
            if (y > 72) p = Shade(kPavement, 12 - (y - 72) / 3);
            if (PixelAt(background.buildingMask, bx, by)) p = PixelAt(background.picture, bx, by);
            PutPixel(square, x, y, p);
        }
    }
    PutPixel(square, 12, 10, kStarWhite);
    PutPixel(square, 70, 18, kStarWhite);
    PutPixel(square, 60, 6, kStarGold);
    return AreaAverage(square, 0, 0, side, side, size, size);
}
