// The front galleries across the bottom of the picture, and the two domed
// gates over the near ends of the walkways. The gates are what the foreground
// pieces cut out, so they also mark foregroundMask, except in the openings
// where walkers rest.
#include "picturegen.h"
#include "scene/tables.h"

namespace {

constexpr int kGalleryTop = 656;

void PaintDome(Canvas& picture, Canvas* mask, double cx, double base, double rx, double ry) {
    for (int y = int(base - ry) - 6; y <= int(base); ++y) {
        for (int x = int(cx - rx) - 1; x <= int(cx + rx) + 1; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (base - (y + 0.5)) / ry;
            if (dy < 0 || dx * dx + dy * dy > 1.0) continue;
            const double lx = dx - 0.35, ly = dy - 0.55;
            double shade = 12.0 - std::sqrt(lx * lx + ly * ly) * 7.0;
            if (static_cast<int>(std::floor((x + 0.5 - cx) / rx * 4.0 + 8)) % 2 == 0 && dy < 0.85) shade -= 0.8;
            PutPixel(picture, x, y, DitheredShade(kPatina, BandedShade(shade), x, y));
            if (mask) PutPixel(*mask, x, y, 1);
        }
    }
    const int top = int(base - ry);
    for (int y = top - 6; y < top; ++y) {
        PutPixel(picture, int(cx), y, Shade(kSandstone, y == top - 6 ? 15 : 11));
        if (mask) PutPixel(*mask, int(cx), y, 1);
    }
    PutPixel(picture, int(cx) - 1, top - 2, Shade(kSandstone, 8));
    PutPixel(picture, int(cx) + 1, top - 2, Shade(kSandstone, 13));
    if (mask) {
        PutPixel(*mask, int(cx) - 1, top - 2, 1);
        PutPixel(*mask, int(cx) + 1, top - 2, 1);
    }
}

void PaintArcadeBay(Canvas& picture, int x0, int width, PaintRandom& random) {
    const int top = kGalleryTop + 30, archWidth = width - 10;
    for (int y = top; y < picture.height; ++y) {
        for (int x = x0 + 5; x < x0 + 5 + archWidth; ++x) {
            const double dx = x + 0.5 - (x0 + 5 + archWidth / 2.0);
            const double archTop = top + archWidth / 2.0;
            if (y < archTop && dx * dx + (archTop - y) * (archTop - y) > archWidth * archWidth / 4.0) continue;
            const double glow = (y - top) / 80.0;
            PutPixel(picture, x, y,
                     glow > 0.7 ? DitheredShade(kTerracotta, BandedShade(3 + glow * 3), x, y) : Shade(kCoolStone, 1));
        }
    }
    // A hanging lamp in some of the bays.
    if (NextRandom(random) % 3 != 0) {
        const int lx = x0 + width / 2;
        FillBox(picture, lx, top + 4, 1, 18, Shade(kEarth, 6));
        FillBox(picture, lx - 1, top + 22, 3, 3, kWindowGlow);
        PutPixel(picture, lx, top + 23, kLampCore);
    }
}

void PaintBottomGallery(Canvas& picture) {
    PaintRandom random{1999};
    // Roof seen from above, the parapet, then the arcade facade.
    for (int y = kGalleryTop; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            double shade;
            Ramp ramp = kSandstone;
            if (y < kGalleryTop + 10) {
                ramp = kTerracotta;
                shade = 4.0 + (y - kGalleryTop) * 0.35 + ((y - kGalleryTop) % 3 == 2 ? -1.5 : 0);
            } else if (y < kGalleryTop + 20) {
                shade = y == kGalleryTop + 10 ? 13.0 : 10.0 - (y - kGalleryTop - 11) * 0.3;
            } else {
                shade = 7.5 - (y - kGalleryTop - 20) * 0.035;
            }
            PutPixel(picture, x, y, DitheredShade(ramp, BandedShade(shade), x, y));
        }
    }
    for (int x = 2; x < picture.width; x += 8) FillBox(picture, x, kGalleryTop - 3, 4, 3, Shade(kSandstone, 12));
    for (int bay = -20; bay < picture.width; bay += 48) PaintArcadeBay(picture, bay, 48, random);
    FillBox(picture, 0, kGalleryTop + 20, picture.width, 1, Shade(kSandstone, 4));
    // Domes along the roof between the two gates.
    for (int i = 0; i < 3; ++i) {
        const double cx = 306 + i * 206.0;
        FillBox(picture, int(cx) - 20, kGalleryTop - 10, 40, 8, Shade(kSandstone, 9));
        PaintDome(picture, nullptr, cx, kGalleryTop - 10, 19, 22);
    }
}

// A gate spanning a walkway at its near end. Its facade stands on the line
// from foot0 to foot1 (where walkers' feet are); `depth` points along the
// walkway away from the viewer. In the skewed frame of the facade, s runs
// from 0 at foot0 to 1 at foot1 and t is the height above the feet line.
struct Gate {
    PointF foot0, foot1, depth;
};

constexpr double kPillar = 0.2;    // pillar width as a fraction of the span
constexpr double kOpening = 27.0;  // height of the opening at its sides
constexpr double kFacade = 48.0;   // height of the facade

PointF FacadePoint(const Gate& g, double s, double t) {
    return {g.foot0.x + s * (g.foot1.x - g.foot0.x), g.foot0.y + s * (g.foot1.y - g.foot0.y) - t};
}

int InRestRects(const WalkwayQuad& quad, int firstKind, int x, int y) {
    for (int kind = firstKind; kind < firstKind + 2; ++kind) {
        const SpriteCell& cell = kStoredSpriteCells[kind];
        for (int i = 0; i <= 200; ++i) {
            const Point p = QuadPoint(quad, i / 200.0f, 0.0f);
            if (x >= p.x - 1 && x <= p.x + cell.width && y >= p.y - 1 && y <= p.y + cell.height) return 1;
        }
    }
    return 0;
}

void Darken(Canvas& picture, int x, int y, int amount) {
    const uint8_t p = PixelAt(picture, x, y);
    if (p < 1 || p > kRampCount * kShades) return;
    const int shade = (p - 1) % kShades;
    PutPixel(picture, x, y, static_cast<uint8_t>(p - std::min(shade, amount)));
}

void PaintFacade(Canvas& picture, Canvas& mask, const Gate& g, const WalkwayQuad& quad, int firstKind) {
    const double spanX = g.foot1.x - g.foot0.x;
    const PointF a = FacadePoint(g, -kPillar, 0), b = FacadePoint(g, 1 + kPillar, 0);
    const int x0 = static_cast<int>(std::min(a.x, b.x)) - 2, x1 = static_cast<int>(std::max(a.x, b.x)) + 2;
    const int y0 = static_cast<int>(std::min(a.y, b.y) - kFacade) - 2, y1 = static_cast<int>(std::max(a.y, b.y)) + 8;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double s = (x + 0.5 - g.foot0.x) / spanX;
            const double t = g.foot0.y + s * (g.foot1.y - g.foot0.y) - (y + 0.5);
            if (s < -kPillar || s > 1 + kPillar || t < -7 || t > kFacade) continue;
            const double archTop = kOpening + 9.0 * std::sin(std::clamp(s, 0.0, 1.0) * 3.14159265);
            if ((s >= 0 && s <= 1 && t < archTop) || InRestRects(quad, firstKind, x, y)) {
                // Under the arch: the walkway in the gate's shade, open to the walkers.
                Darken(picture, x, y, t > archTop - 4 ? 6 : 3);
                continue;
            }
            double shade = 9.0;
            if (t > kFacade - 4)
                shade = t > kFacade - 1.5 ? 14.0 : 11.0;  // cornice
            else if (t > kFacade - 7)
                shade = 5.0;  // its shadow
            else if (s < 0 || s > 1)
                shade = 8.5 + (std::fabs(s - 0.5) - 0.5) / kPillar * 3.0;
            if (s >= -0.02 && s <= 1.02 && t >= archTop && t < archTop + 2) shade = 12.0;  // arch rim
            PutPixel(picture, x, y, DitheredShade(kSandstone, BandedShade(shade), x, y));
            PutPixel(mask, x, y, 1);
        }
    }
}

void PaintGateBlock(Canvas& picture, Canvas& mask, const Gate& g) {
    // The roof's top face: the facade's top edge swept back along the walkway.
    const PointF a = FacadePoint(g, -kPillar, kFacade), b = FacadePoint(g, 1 + kPillar, kFacade);
    const std::vector<PointF> roof = {a, b, {b.x + g.depth.x, b.y + g.depth.y}, {a.x + g.depth.x, a.y + g.depth.y}};
    ForEachPolygonSpan(roof, picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            PutPixel(picture, x, y, DitheredShade(kTerracotta, BandedShade((x + 2 * y) % 6 == 0 ? 6.0 : 8.0), x, y));
            PutPixel(mask, x, y, 1);
        }
    });
    // The side face at the inner end (foot1), towards the courtyard, in the shade.
    const double sideS = 1 + kPillar;
    const PointF top = FacadePoint(g, sideS, kFacade), foot = FacadePoint(g, sideS, -6);
    const std::vector<PointF> face = {
        top, {top.x + g.depth.x, top.y + g.depth.y}, {foot.x + g.depth.x, foot.y + g.depth.y}, foot};
    ForEachPolygonSpan(face, picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            PutPixel(picture, x, y, DitheredShade(kSandstone, BandedShade(5.0), x, y));
            PutPixel(mask, x, y, 1);
        }
    });
}

void PaintGate(Canvas& picture, Canvas& mask, const Gate& g, const WalkwayQuad& quad, int firstKind) {
    PaintGateBlock(picture, mask, g);
    PaintFacade(picture, mask, g, quad, firstKind);
    const PointF mid = FacadePoint(g, 0.5, kFacade);
    const double span = std::fabs(g.foot1.x - g.foot0.x);
    const double cx = mid.x + g.depth.x * 0.5, base = mid.y + g.depth.y * 0.5;
    FillBox(picture, static_cast<int>(cx - span * 0.3), static_cast<int>(base) - 5, static_cast<int>(span * 0.6), 6,
            Shade(kSandstone, 10));
    FillBox(mask, static_cast<int>(cx - span * 0.3), static_cast<int>(base) - 5, static_cast<int>(span * 0.6), 6, 1);
    PaintDome(picture, &mask, cx, base - 5, span * 0.3, span * 0.36);
}

}  // namespace

void PaintFrontGalleries(Canvas& picture, Canvas& foregroundMask) {
    PaintBottomGallery(picture);
    const Gate left{{86, 601}, {153, 646}, {18, -8}};
    const Gate right{{968, 599}, {926, 639}, {-18, -7}};
    PaintGate(picture, foregroundMask, left, kStoredWalkwayQuads[0], kLeftWalkerFirst);
    PaintGate(picture, foregroundMask, right, kStoredWalkwayQuads[1], kRightWalkerFirst);
}
