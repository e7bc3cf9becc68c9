// The front galleries across the bottom of the picture, and the two domed
// gates over the near ends of the walkways. The gates are what the foreground
// pieces cut out, so they also mark foregroundMask, except in the openings
// where walkers rest.
#include "picturegen.h"
#include "scene/tables.h"

namespace {

constexpr int kGalleryTop = 656;

double BandedShade(double s) {
    const double base = std::floor(s);
    double f = (s - base - 0.5) * 3.0 + 0.5;
    f = f < 0 ? 0 : (f > 1 ? 1 : f);
    return base + f;
}

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
            PutPixel(picture, x, y, glow > 0.7 ? DitheredShade(kTerracotta, BandedShade(3 + glow * 3), x, y)
                                               : Shade(kCoolStone, 1));
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
    for (int i = 0; i < 5; ++i) {
        const double cx = 100 + i * 206.0;
        FillBox(picture, int(cx) - 20, kGalleryTop - 10, 40, 8, Shade(kSandstone, 9));
        PaintDome(picture, nullptr, cx, kGalleryTop - 10, 19, 22);
    }
}

// A gate spanning a walkway at its near end. Its facade stands on the line
// from foot0 to foot1 (screen x, y of walkers' feet); `depth` points along the
// walkway away from the viewer.
struct Gate {
    PointF foot0, foot1, depth;
};

constexpr double kPillar = 0.16;    // pillar width as a fraction of the span
constexpr double kOpening = 25.0;   // height of the opening in pixels
constexpr double kFacade = 40.0;    // height of the facade

int InRestRects(const WalkwayQuad& quad, int firstKind, int x, int y) {
    for (int kind = firstKind; kind < firstKind + 2; ++kind) {
        const SpriteCell& cell = kStoredSpriteCells[kind];
        for (int i = 0; i <= 200; ++i) {
            const ScenePoint p = QuadPoint(quad, i / 200.0f, 0.0f);
            if (x >= p.x - 1 && x <= p.x + cell.width && y >= p.y - 1 && y <= p.y + cell.height) return 1;
        }
    }
    return 0;
}

void PaintGate(Canvas& picture, Canvas& mask, const Gate& g, const WalkwayQuad& quad, int firstKind) {
    const double spanX = g.foot1.x - g.foot0.x;
    const double slope = (g.foot1.y - g.foot0.y) / spanX;
    // Facade (pillars, lintel, parapet) in the skewed frame: s along the
    // facade, t upwards from the feet line.
    const double xMin = std::min(g.foot0.x, g.foot1.x) - std::fabs(spanX) * 0.3;
    const double xMax = std::max(g.foot0.x, g.foot1.x) + std::fabs(spanX) * 0.3;
    const PointF side = spanX > 0 ? g.foot1 : g.foot0;  // the courtyard side
    (void)side;
    for (int y = int(g.foot0.y) - 90; y < int(std::max(g.foot0.y, g.foot1.y)) + 12; ++y) {
        for (int x = int(xMin) - 20; x <= int(xMax) + 20; ++x) {
            // Roof top face and the side face, as the facade pushed back by depth.
            for (double k = 1.0; k >= 0.0; k -= 1.0) {
                const double px = x + 0.5 - g.depth.x * k, py = y + 0.5 - g.depth.y * k;
                (void)px;
                (void)py;
            }
            const double s = (x + 0.5 - g.foot0.x) / spanX;
            const double t = g.foot0.y + s * (g.foot1.y - g.foot0.y) - (y + 0.5);
            if (s < -kPillar || s > 1 + kPillar || t < -6 || t > kFacade) continue;
            const int inOpening = s >= 0 && s <= 1 && t < kOpening;
            if (inOpening || InRestRects(quad, firstKind, x, y)) {
                // Shade under the gate; the walkway stays visible through it.
                const uint8_t p = PixelAt(picture, x, y);
                const uint8_t low = Shade(kSandstone, 0), high = Shade(kSandstone, 15);
                if (p >= low + 3 && p <= high) PutPixel(picture, x, y, p - 3);
                else if (p >= Shade(kPavement, 3) && p <= Shade(kPavement, 15)) PutPixel(picture, x, y, p - 3);
                continue;
            }
            double shade;
            if (t > kFacade - 5) shade = t > kFacade - 1.5 ? 14.0 : 11.0;             // parapet
            else if (t > kOpening && t < kOpening + 3) shade = 5.0;                 // lintel shadow line
            else if (s < 0 || s > 1) shade = 8.0 + (std::fabs(s - 0.5) - 0.5) * 10;  // pillars
            else shade = 9.0;
            PutPixel(picture, x, y, DitheredShade(kSandstone, BandedShade(shade), x, y));
            PutPixel(mask, x, y, 1);
        }
    }
    (void)slope;
}

void PaintGateRoof(Canvas& picture, Canvas& mask, const Gate& g) {
    // The roof's top face: the facade's top edge swept back along the walkway.
    const double spanX = g.foot1.x - g.foot0.x;
    auto top = [&](double s) {
        return PointF{g.foot0.x + s * spanX, g.foot0.y + s * (g.foot1.y - g.foot0.y) - kFacade};
    };
    const PointF a = top(-kPillar), b = top(1 + kPillar);
    const std::vector<PointF> roof = {a, b, {b.x + g.depth.x, b.y + g.depth.y}, {a.x + g.depth.x, a.y + g.depth.y}};
    ForEachPolygonSpan(roof, picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            PutPixel(picture, x, y, DitheredShade(kTerracotta, BandedShade(8.0 + ((x + y) % 5 == 0 ? -1.0 : 0.0)), x, y));
            PutPixel(mask, x, y, 1);
        }
    });
    // The side face towards the courtyard.
    const PointF c = spanX > 0 ? b : a;
    const PointF foot = spanX > 0 ? PointF{g.foot1.x + kPillar * spanX, g.foot1.y + kPillar * (g.foot1.y - g.foot0.y)}
                                  : PointF{g.foot0.x - kPillar * spanX, g.foot0.y - kPillar * (g.foot1.y - g.foot0.y)};
    (void)c;
    const std::vector<PointF> face = {top(spanX > 0 ? 1 + kPillar : -kPillar),
                                      {top(spanX > 0 ? 1 + kPillar : -kPillar).x + g.depth.x,
                                       top(spanX > 0 ? 1 + kPillar : -kPillar).y + g.depth.y},
                                      {foot.x + g.depth.x, foot.y + g.depth.y + 6},
                                      {foot.x, foot.y + 6}};
    ForEachPolygonSpan(face, picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) {
            PutPixel(picture, x, y, DitheredShade(kSandstone, BandedShade(6.0), x, y));
            PutPixel(mask, x, y, 1);
        }
    });
    const PointF mid = top(0.5);
    PaintDome(picture, &mask, mid.x + g.depth.x * 0.5, mid.y + g.depth.y * 0.5 + 2, std::fabs(spanX) * 0.32,
              std::fabs(spanX) * 0.36);
}

}  // namespace

void PaintFrontGalleries(Canvas& picture, Canvas& foregroundMask) {
    PaintBottomGallery(picture);
    const Gate left{{86, 601}, {153, 646}, {15, -7}};
    const Gate right{{968, 599}, {926, 639}, {-15, -6}};
    PaintGateRoof(picture, foregroundMask, left);
    PaintGate(picture, foregroundMask, left, kStoredWalkwayQuads[0], kLeftWalkerFirst);
    PaintGateRoof(picture, foregroundMask, right);
    PaintGate(picture, foregroundMask, right, kStoredWalkwayQuads[1], kRightWalkerFirst);
}
