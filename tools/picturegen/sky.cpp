// The night sky with its stars and moon, and the towers and far galleries
// that stand against it.
#include "picturegen.h"

namespace {

constexpr int kHorizon = 345;  // the courtyard's far edge

void PaintGradient(Canvas& picture) {
    for (int y = 0; y < kHorizon; ++y) {
        const double t = y / double(kHorizon);
        const double s = BandedShade(0.6 + t * t * 7.2);
        for (int x = 0; x < picture.width; ++x) PutPixel(picture, x, y, DitheredShade(kSky, s, x, y));
    }
}

void PaintMoon(Canvas& picture, int cx, int cy, int r) {
    for (int y = cy - r - 6; y <= cy + r + 6; ++y) {
        for (int x = cx - r - 6; x <= cx + r + 6; ++x) {
            const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
            const double d = std::sqrt(dx * dx + dy * dy);
            const double bite = std::hypot(dx + r * 0.55, dy - r * 0.25);
            if (d <= r && bite > r * 0.92) {
                PutPixel(picture, x, y, d > r - 1.5 || bite < r * 1.05 ? kMoonShade : kMoonLight);
            } else if (d <= r + 5 && d > r && bite > r) {
                // A faint halo, dithered so it fades into the sky.
                const double s = 9.0 - (d - r) * 0.9;
                if (s > 7.0) PutPixel(picture, x, y, DitheredShade(kSky, s, x, y));
            }
        }
    }
}

void PaintStars(Canvas& picture) {
    PaintRandom random{20241207};
    for (int i = 0; i < 520; ++i) {
        const int x = static_cast<int>(RandomUnit(random) * picture.width);
        const double depth = RandomUnit(random);
        const int y = static_cast<int>(depth * depth * 290);
        const int kind = NextRandom(random) % 16;
        if (std::hypot(x - 860, y - 78) < 30) continue;  // the moon's halo
        uint8_t color = Shade(kSky, 11 + kind % 5);
        if (kind == 0) color = kStarGold;
        if (kind == 1) color = kStarBlue;
        if (kind == 2 || kind == 3) color = kStarWhite;
        PutPixel(picture, x, y, color);
        if (kind == 2 && y < 200) {
            // A few bright stars get a small cross.
            const uint8_t arm = Shade(kSky, 12);
            PutPixel(picture, x - 1, y, arm);
            PutPixel(picture, x + 1, y, arm);
            PutPixel(picture, x, y - 1, arm);
            PutPixel(picture, x, y + 1, arm);
        }
    }
}

struct Tower {
    int x, width, top;
    Ramp capRamp;
};

// Slender towers lit from the courtyard below and by the moon on the right.
void PaintTower(Canvas& picture, const Tower& t, PaintRandom& random) {
    const int bottom = kHorizon;
    for (int y = t.top; y < bottom; ++y) {
        for (int x = t.x; x < t.x + t.width; ++x) {
            const double across = (x - t.x + 0.5) / t.width;
            const double lift = (y - t.top) / double(bottom - t.top);
            double s = 2.0 + across * 3.5 + lift * 2.0;
            if (x == t.x + t.width - 1) s += 1.5;  // moonlit edge
            PutPixel(picture, x, y, DitheredShade(kCoolStone, BandedShade(s), x, y));
        }
    }
    // Balcony and cap.
    FillBox(picture, t.x - 2, t.top + 8, t.width + 4, 3, Shade(kCoolStone, 7));
    FillBox(picture, t.x - 2, t.top + 11, t.width + 4, 1, Shade(kCoolStone, 2));
    const double cx = t.x + t.width / 2.0;
    const int capHeight = t.width + 4;
    for (int y = t.top - capHeight; y < t.top; ++y) {
        const double half = (t.width / 2.0 + 1) * std::sqrt(1.0 - std::pow((t.top - y) / double(capHeight), 2.0));
        for (int x = static_cast<int>(cx - half); x < cx + half; ++x) {
            const double s = 3.0 + (x - cx + half) / (2 * half + 1) * 7.0;
            PutPixel(picture, x, y, DitheredShade(t.capRamp, BandedShade(s), x, y));
        }
    }
    FillBox(picture, static_cast<int>(cx), t.top - capHeight - 6, 1, 6, Shade(kSandstone, 12));
    // Lit windows.
    for (int y = t.top + 18; y < bottom - 30; y += 14) {
        for (int x = t.x + 3; x + 2 < t.x + t.width - 2; x += 6) {
            if (NextRandom(random) % 3 == 0) continue;
            const uint8_t glow = NextRandom(random) % 2 ? kWindowGlow : kWindowDeep;
            FillBox(picture, x, y, 2, 4, glow);
            FillBox(picture, x, y + 4, 2, 1, Shade(kCoolStone, 1));
        }
    }
}

// The long arcade across the far side of the courtyard, with a crenellated
// parapet and lamplight deep inside its arches.
void PaintFarGallery(Canvas& picture, int left, int right, int top) {
    for (int y = top; y < kHorizon; ++y)
        for (int x = left; x < right; ++x)
            PutPixel(picture, x, y, DitheredShade(kCoolStone, BandedShade(4.0 + (y - top) * 0.09), x, y));
    FillBox(picture, left - 2, top - 4, right - left + 4, 4, Shade(kCoolStone, 8));
    FillBox(picture, left - 2, top, right - left + 4, 1, Shade(kCoolStone, 2));
    for (int x = left - 2; x < right + 2; x += 6) FillBox(picture, x, top - 7, 3, 3, Shade(kCoolStone, 7));
    const int pitch = 22;
    for (int ax = left + 8; ax + 12 < right; ax += pitch) {
        for (int y = top + 12; y < kHorizon - 2; ++y) {
            for (int x = ax; x < ax + 12; ++x) {
                const double dx = x + 0.5 - (ax + 6);
                if (y < top + 18 && dx * dx + std::pow(top + 18 - y, 2.0) > 36) continue;
                // Dark vault above, warm light on the floor and the back wall below.
                const double glow = (y - top - 12) / double(kHorizon - top - 14);
                uint8_t color = Shade(kCoolStone, 1);
                if (glow > 0.45) color = DitheredShade(kTerracotta, BandedShade(2.0 + (glow - 0.45) * 14.0), x, y);
                if (x == ax || x == ax + 11) color = Shade(kCoolStone, 2);  // the pillars' inner faces
                PutPixel(picture, x, y, color);
            }
        }
        FillBox(picture, ax + 5, top + 20, 2, 2, kWindowGlow);  // a hanging lamp
    }
}

// Low roofs and domes of the town beyond the far gallery.
void PaintTown(Canvas& picture) {
    PaintRandom random{31337};
    for (int x = 0; x < picture.width;) {
        const int width = 18 + NextRandom(random) % 44;
        const int height = 12 + NextRandom(random) % 40;
        const int top = 292 - height;
        for (int y = top; y < kHorizon; ++y)
            for (int px = x; px < x + width; ++px)
                PutPixel(picture, px, y, Shade(kCoolStone, px == x + width - 1 ? 2 : 1));
        if (NextRandom(random) % 3 == 0) {
            const double cx = x + width / 2.0, r = width * 0.3;
            for (int y = top - static_cast<int>(r); y < top; ++y)
                for (int px = static_cast<int>(cx - r); px <= static_cast<int>(cx + r); ++px)
                    if (InEllipse(cx, top, r, r, px, y)) PutPixel(picture, px, y, Shade(kCoolStone, 2));
        }
        for (int y = top + 4; y < 286; y += 7)
            for (int px = x + 3; px < x + width - 3; px += 5)
                if (NextRandom(random) % 9 == 0)
                    PutPixel(picture, px, y, NextRandom(random) % 2 ? kWindowDeep : kWindowGlow);
        x += width + NextRandom(random) % 6;
    }
}

// The side galleries run from the far corners towards the viewer. Column x
// of the wall spans wallTop to wallBottom; h is the height fraction in it.
void PaintSideGallery(Canvas& picture, int mirrored) {
    const double farX = 160, farTop = 292, farBottom = kHorizon, nearTop = 336, nearBottom = 540;
    for (int column = 0; column < static_cast<int>(farX); ++column) {
        const double t = (farX - column - 0.5) / farX;  // 0 at the far end, 1 at the picture's edge
        const double top = farTop + (nearTop - farTop) * t, bottom = farBottom + (nearBottom - farBottom) * t;
        // Arches widen towards the viewer: arch k covers t from its start for `span`.
        const double k = std::log(1.0 + t * 5.0) / std::log(6.0) * 9.0;
        const double inArch = k - std::floor(k);
        const int x = mirrored ? picture.width - 1 - column : column;
        for (int y = static_cast<int>(top); y < static_cast<int>(bottom); ++y) {
            const double h = (y + 0.5 - top) / (bottom - top);
            uint8_t color = DitheredShade(kCoolStone, BandedShade(5.0 + h * 1.2), x, y);
            if (h < 0.05) color = Shade(kCoolStone, h < 0.02 ? 10 : 8);  // coping of the parapet
            const double archTop =
                0.3 + 0.12 * (1.0 - std::sin(std::clamp((inArch - 0.15) / 0.7, 0.0, 1.0) * 3.14159265));
            if (inArch > 0.15 && inArch < 0.85 && h > archTop && h < 0.93) {
                color = h > 0.6 ? DitheredShade(kTerracotta, BandedShade(2.0 + (h - 0.6) * 18.0), x, y)
                                : Shade(kCoolStone, 1);
                if (inArch < 0.22) color = Shade(kCoolStone, 2);  // the pillar's inner face
            }
            PutPixel(picture, x, y, color);
        }
    }
}

}  // namespace

void PaintSky(Canvas& picture) {
    PaintGradient(picture);
    PaintStars(picture);
    PaintMoon(picture, 860, 78, 17);
}

void PaintSkyline(Canvas& picture) {
    PaintTown(picture);
    PaintRandom random{77};
    const Tower towers[] = {{40, 26, 150, kPatina},      {250, 20, 185, kTerracotta}, {330, 30, 120, kPatina},
                            {610, 22, 165, kTerracotta}, {700, 30, 110, kPatina},     {955, 26, 140, kTerracotta},
                            {150, 18, 220, kCoolStone},  {820, 18, 205, kCoolStone}};
    for (const Tower& tower : towers) PaintTower(picture, tower, random);
    PaintFarGallery(picture, 150, 874, 292);
    PaintSideGallery(picture, 0);
    PaintSideGallery(picture, 1);
}
