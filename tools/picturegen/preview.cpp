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

Canvas PaintPreview(const Canvas& background) { return AreaAverage(background, 0, 0, 1024, 768, 152, 112); }

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
