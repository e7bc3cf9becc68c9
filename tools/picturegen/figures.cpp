// The little people and lamps of the figure sheet: clumps of walking figures,
// single walkers seen from behind, and pairs of lamps. Colour 0 stays
// transparent around them.
#include "picturegen.h"

namespace {

struct FigureColors {
    uint8_t head, cloth, clothDark, legs;
};

// Pale robes and muted cloth for the most part, a stronger colour here and there.
FigureColors RandomColors(PaintRandom& random) {
    static const Ramp kCloth[] = {kPavement, kPavement,  kCoolStone,  kPlum,       kEarth,
                                  kClothRed, kClothBlue, kClothGreen, kClothOchre, kPavement};
    const Ramp ramp = kCloth[NextRandom(random) % 10];
    const int s = (ramp == kPavement ? 10 : (ramp == kEarth ? 9 : 7)) + NextRandom(random) % 3;
    FigureColors c;
    c.head = NextRandom(random) % 4 ? Shade(kSkin, 8 + NextRandom(random) % 4) : Shade(kEarth, 3);
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
            const double cx = (column + figureWidth / 2.0) / width - 0.5,
                         cy = (row + figureHeight / 2.0) / height - 0.5;
            if (cx * cx + cy * cy > 0.25 || NextRandom(random) % 9 < 4) continue;
            const int jx = static_cast<int>(column) + static_cast<int>(NextRandom(random) % 2);
            const int jy = static_cast<int>(row) + static_cast<int>(NextRandom(random) % 2);
            const int fx = std::min(jx, width - figureWidth), fy = std::min(jy, height - figureHeight);
            PaintTinyFigure(sheet, x + fx, y + fy, set, static_cast<int>(NextRandom(random)), random);
        }
    }
}

// A single walker seen from behind as it walks away up the walkway: round
// head with dark hair, a cloak that flares at the hem, arms at its sides,
// legs mid-stride. The side facing the lit centre catches the light.
void PaintWalker(Canvas& sheet, int x, int y, int width, int height, int facingRight, uint32_t seed) {
    PaintRandom random{seed};
    const FigureColors c = RandomColors(random);
    const int lean = facingRight ? 1 : -1;
    const double axis = (width - 1) / 2.0 + lean * 0.5;
    const int headRows = std::max(3, static_cast<int>(height * 0.2 + 0.5));
    const int torsoEnd = static_cast<int>(height * 0.68 + 0.5);
    auto put = [&](double px, int row, uint8_t color) {
        PutPixel(sheet, x + static_cast<int>(std::floor(px)), y + row, color);
    };
    // Head: hair on top and at the back, a glimpse of cheek on the lit side.
    const int headWidth = width >= 7 ? 3 : 2;
    const double headLeft = axis - headWidth / 2.0 + 0.5 + lean * 0.5;
    for (int r = 0; r < headRows; ++r) {
        for (int i = 0; i < headWidth; ++i) {
            if (r == 0 && (i == 0 || i == headWidth - 1) && headWidth == 3) continue;  // rounded crown
            const int litSide = lean > 0 ? i == headWidth - 1 : i == 0;
            const uint8_t color = (r > 0 && litSide) ? Shade(kSkin, 9) : Shade(kEarth, r == 0 ? 5 : 3);
            put(headLeft + i, r, color);
        }
    }
    // Cloak from the shoulders to the hem, widening as it falls.
    for (int r = headRows; r < torsoEnd; ++r) {
        const double t = (r - headRows) / double(std::max(1, torsoEnd - headRows - 1));
        const double half = (width - 2) / 2.0 + (r == headRows ? -0.5 : 0.0) + t * 0.6;
        const int left = static_cast<int>(std::floor(axis - half + 0.5)),
                  right = static_cast<int>(std::floor(axis + half + 0.5));
        for (int px = std::max(0, left); px <= std::min(width - 1, right); ++px) {
            uint8_t color = c.cloth;
            if (px == (lean > 0 ? right : left))
                color = c.cloth + 2;  // lit edge
            else if (px == (lean > 0 ? left : right))
                color = c.clothDark;  // shaded edge
            else if (px == static_cast<int>(axis) && r > headRows + 1)
                color = c.cloth - 1;  // a fold down the back
            put(px, r, color);
        }
    }
    // Legs mid-stride: one foot forward (up the walkway), one behind.
    const int legRows = height - torsoEnd;
    for (int r = 0; r < legRows; ++r) {
        const int spread = (r * 2 + 1) / std::max(2, legRows);
        const int front = static_cast<int>(axis) + lean * (1 + spread),
                  back = static_cast<int>(axis) - lean * (spread > 0 ? 1 : 0);
        put(std::clamp(front, 0, width - 1), torsoEnd + r, c.legs + 1);
        put(std::clamp(back, 0, width - 1), torsoEnd + r, r == legRows - 1 ? Shade(kEarth, 1) : c.legs);
    }
}

void PaintLamps(Canvas& sheet, int x, int y, int width, int height) {
    // Two lamp posts, the farther one a little smaller, each with a glowing
    // head and a dithered halo so the light seems to spill on what is behind.
    const struct { double at, scale; } posts[] = {{0.24, 0.8}, {0.72, 1.0}};
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
