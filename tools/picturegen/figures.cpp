// The little people and lamps of the figure sheet: clumps of walking figures,
// single walkers seen from behind, and pairs of lamps. Colour 0 stays
// transparent around them.
#include "picturegen.h"

namespace {

struct FigureColors {
    uint8_t head, cloth, clothDark, legs;
};

FigureColors RandomColors(PaintRandom& random) {
    static const Ramp kCloth[] = {kClothRed, kClothBlue, kClothGreen, kClothOchre, kPlum, kCoolStone};
    const Ramp ramp = kCloth[NextRandom(random) % 6];
    const int s = 6 + NextRandom(random) % 5;
    FigureColors c;
    c.head = NextRandom(random) % 4 ? Shade(kSkin, 8 + NextRandom(random) % 5) : Shade(kEarth, 3);
    c.cloth = Shade(ramp, s);
    c.clothDark = Shade(ramp, s - 3);
    c.legs = Shade(kEarth, 2 + NextRandom(random) % 2);
    return c;
}

// One tiny walking figure; `scale` 0, 1, 2 is the cell set (large to small).
void PaintTinyFigure(Canvas& sheet, int x, int y, int scale, int stride, PaintRandom& random) {
    const FigureColors c = RandomColors(random);
    if (scale == 2) {  // 2 x 5
        PutPixel(sheet, x + (stride & 1), y, c.head);
        FillBox(sheet, x, y + 1, 2, 2, c.cloth);
        PutPixel(sheet, x, y + 2, c.clothDark);
        PutPixel(sheet, x + (stride & 1), y + 3, c.legs);
        PutPixel(sheet, x + 1 - (stride & 1), y + 4, c.legs);
        return;
    }
    const int bodyRows = scale == 0 ? 4 : 3;
    PutPixel(sheet, x + 1, y, c.head);
    if (scale == 0) PutPixel(sheet, x + 1, y + 1, c.head == Shade(kEarth, 3) ? Shade(kSkin, 9) : c.head - 1);
    const int body = y + (scale == 0 ? 2 : 1);
    FillBox(sheet, x, body, 3, bodyRows, c.cloth);
    FillBox(sheet, x, body, 1, bodyRows, c.clothDark);
    if (scale == 0) PutPixel(sheet, x + 2, body, c.cloth + 2);  // lit shoulder
    const int legs = body + bodyRows;
    PutPixel(sheet, x + (stride % 2 ? 0 : 1), legs, c.legs);
    PutPixel(sheet, x + 2, legs, c.legs);
    if (scale == 0) {
        PutPixel(sheet, x + (stride % 2 ? 0 : 1), legs + 1, c.legs);
        PutPixel(sheet, x + 2 - (stride % 2), legs + 1, c.legs);
    }
}

}  // namespace

void PaintCrowdClump(Canvas& sheet, int x, int y, int width, int height, int set, uint32_t seed) {
    PaintRandom random{seed};
    const int figureWidth = set == 2 ? 2 : 3;
    const int figureHeight = set == 0 ? 8 : (set == 1 ? 6 : 5);
    const double pitchX = set == 2 ? 3.0 : 4.2, pitchY = set == 0 ? 5.0 : (set == 1 ? 4.2 : 3.4);
    // A loose oval of people, placed on a jittered grid, drawn back to front.
    for (double row = 0; row + figureHeight <= height; row += pitchY) {
        const double offset = std::fmod(row / pitchY, 2.0) >= 1.0 ? pitchX / 2 : 0.0;
        for (double column = offset; column + figureWidth <= width; column += pitchX) {
            const double cx = (column + figureWidth / 2.0) / width - 0.5, cy = (row + figureHeight / 2.0) / height - 0.5;
            if (cx * cx + cy * cy > 0.25 || NextRandom(random) % 5 == 0) continue;
            const int jx = static_cast<int>(column) + static_cast<int>(NextRandom(random) % 2);
            const int jy = static_cast<int>(row) + static_cast<int>(NextRandom(random) % 2);
            const int fx = std::min(jx, width - figureWidth), fy = std::min(jy, height - figureHeight);
            PaintTinyFigure(sheet, x + fx, y + fy, set, static_cast<int>(NextRandom(random)), random);
        }
    }
}

void PaintWalker(Canvas& sheet, int x, int y, int width, int height, int facingRight, uint32_t seed) {
    PaintRandom random{seed};
    const FigureColors c = RandomColors(random);
    const int headRows = std::max(2, static_cast<int>(height * 0.17 + 0.5));
    const int torsoRows = static_cast<int>(height * 0.47 + 0.5);
    const int legRows = height - headRows - torsoRows;
    const int lean = facingRight ? 1 : -1;
    const double axis = (width - 1) / 2.0;
    // Head, turned a little towards where the walker is going.
    const int headWidth = std::max(2, width * 2 / 5);
    const int headLeft = static_cast<int>(axis - headWidth / 2.0 + 0.5) + (lean > 0 ? 1 : 0);
    for (int r = 0; r < headRows; ++r)
        for (int i = 0; i < headWidth; ++i) {
            const int edge = lean > 0 ? (i == headWidth - 1) : (i == 0);
            const uint8_t color = (r == 0 || !edge) ? Shade(kEarth, 3 + (r == 0)) : Shade(kSkin, 10);
            PutPixel(sheet, x + headLeft + i, y + r, r == headRows - 1 && !edge ? Shade(kSkin, 6) : color);
        }
    // Cloak: widest at the shoulders, rim-lit on the side facing the building.
    for (int r = 0; r < torsoRows; ++r) {
        const int half = r == 0 ? (width - 2) / 2 : (width - 1) / 2;
        const int left = static_cast<int>(axis + 0.5) - half, right = static_cast<int>(axis) + half;
        for (int px = left; px <= right; ++px) {
            uint8_t color = c.cloth;
            if (px == (lean > 0 ? right : left)) color = c.cloth + 2;
            if (px == (lean > 0 ? left : right)) color = c.clothDark;
            PutPixel(sheet, x + px, y + headRows + r, color);
        }
    }
    // Legs mid-stride: the near leg forward (towards the far end), the other back.
    const int legTop = y + headRows + torsoRows;
    const int legA = static_cast<int>(axis) - 1 + (lean > 0 ? 1 : 0), legB = legA + 2;
    for (int r = 0; r < legRows; ++r) {
        const int spread = r * 2 / std::max(1, legRows);
        PutPixel(sheet, x + legA - (lean > 0 ? 0 : spread), legTop + r, c.legs);
        PutPixel(sheet, x + legB + (lean > 0 ? spread : 0), legTop + r, r == legRows - 1 ? Shade(kEarth, 1) : c.legs + 1);
    }
}

void PaintLamps(Canvas& sheet, int x, int y, int width, int height) {
    // Two lamp posts, the farther one a little smaller, each with a glowing
    // head and a dithered halo so the light seems to spill on what is behind.
    const struct {
        double at, scale;
    } posts[] = {{0.24, 0.8}, {0.72, 1.0}};
    for (const auto& post : posts) {
        const int px = x + static_cast<int>(width * post.at);
        const int base = y + height - 1;
        const int headY = y + static_cast<int>(height * (1.0 - post.scale) + height * 0.22);
        const int radius = std::max(2, static_cast<int>(height * 0.22 * post.scale));
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx) {
                const double d = std::hypot(dx, dy);
                if (d > radius || ((dx + dy) & 1)) continue;
                PutPixel(sheet, px + dx, headY + dy, Shade(kLampLight, d < radius * 0.6 ? 12 : 9));
            }
        FillBox(sheet, px, headY + 2, 1, base - headY - 1, Shade(kEarth, 5));
        FillBox(sheet, px - 1, base - 1, 3, 2, Shade(kEarth, 4));
        FillBox(sheet, px - 1, headY - 1, 3, 3, kWindowGlow);
        PutPixel(sheet, px, headY, kLampCore);
        PutPixel(sheet, px, headY - 2, Shade(kEarth, 6));
    }
}
