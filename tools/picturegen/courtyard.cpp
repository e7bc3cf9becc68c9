// The courtyard floor: the lit pavement, the seated crowd in its six regions
// and the walkways, all placed by the scene tables.
#include "picturegen.h"
#include "scene/tables.h"

namespace {

constexpr double kLightX = 507.0, kLightY = 436.0;  // foot of the central building

// The light of the courtyard falls off with distance from the building.
double PavementLight(int x, int y) {
    const double dx = (x - kLightX) / 520.0, dy = (y - kLightY) / 230.0;
    const double d = std::sqrt(dx * dx + dy * dy);
    return 14.6 - d * 8.0;
}

PointF Corner(const Point& p) { return {double(p.x), double(p.y)}; }

// P3, P2, P0, P1: the quad's outline in order.
std::vector<PointF> QuadOutline(const WalkwayQuad& q, double grow) {
    std::vector<PointF> outline = {Corner(q.p3), Corner(q.p2), Corner(q.p0), Corner(q.p1)};
    PointF centre{0, 0};
    for (const PointF& p : outline) centre = {centre.x + p.x / 4, centre.y + p.y / 4};
    for (PointF& p : outline) {
        const double dx = p.x - centre.x, dy = p.y - centre.y, d = std::hypot(dx, dy);
        p = {p.x + dx / d * grow, p.y + dy / d * grow};
    }
    return outline;
}

PointF QuadPointF(const WalkwayQuad& q, double u, double v) {
    const double x = (q.p3.x + (q.p2.x - q.p3.x) * u) * (1 - v) + (q.p1.x + (q.p0.x - q.p1.x) * u) * v;
    const double y = (q.p3.y + (q.p1.y - q.p3.y) * v) * (1 - u) + (q.p2.y + (q.p0.y - q.p2.y) * v) * u;
    return {x, y};
}

void PaintPavementJoints(Canvas& picture) {
    // Slab joints in perspective: rows that widen towards the viewer and
    // seams that run to a vanishing point above the far gallery.
    for (double y = 352, gap = 7; y < 768; y += gap, gap *= 1.09) {
        for (int x = 0; x < picture.width; ++x) {
            const uint8_t p = PixelAt(picture, x, int(y));
            if (p >= Shade(kPavement, 1) && p <= Shade(kPavement, 15)) PutPixel(picture, x, int(y), p - 1);
        }
    }
    for (int k = -40; k <= 40; ++k) {
        const double bottomX = 512 + k * 38.0;
        for (int y = 346; y < 768; ++y) {
            const double t = (y - 150.0) / (768 - 150.0);
            const int x = static_cast<int>(512 + (bottomX - 512) * t);
            const uint8_t p = PixelAt(picture, x, y);
            if (p >= Shade(kPavement, 1) && p <= Shade(kPavement, 15)) PutPixel(picture, x, y, p - 1);
        }
    }
}

void PaintPavement(Canvas& picture) {
    const std::vector<PointF> floor = {{160, 345}, {864, 345}, {1024, 540}, {1024, 768}, {0, 768}, {0, 540}};
    ForEachPolygonSpan(floor, picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x)
            PutPixel(picture, x, y, DitheredShade(kPavement, BandedShade(PavementLight(x, y)), x, y));
    });
    PaintPavementJoints(picture);
    // The far gallery's shadow along the foot of its wall.
    for (int y = 345; y < 352; ++y)
        for (int x = 160; x < 864; ++x) {
            const uint8_t p = PixelAt(picture, x, y);
            if (p > Shade(kPavement, 3) && p <= Shade(kPavement, 15) && ((x + y) % 2 == 0 || y < 349))
                PutPixel(picture, x, y, p - 3);
        }
}

// The processional ring about the building where the crowd circles.
void PaintRing(Canvas& picture) {
    const CircleLayoutRow& c = kCircleLayout[0];
    const double cx = c.outerCentreX + 18, cy = c.innerCentreY + 22;
    const double rx = c.outerRadiusX + 30, ry = c.outerRadiusY + 17;
    for (int y = int(cy - ry - 2); y <= int(cy + ry + 2); ++y) {
        for (int x = int(cx - rx - 2); x <= int(cx + rx + 2); ++x) {
            if (InEllipse(cx, cy, rx, ry, x, y)) {
                const int edge = !InEllipse(cx, cy, rx - 2.5, ry - 1.2, x, y);
                PutPixel(picture, x, y,
                         edge ? Shade(kSandstone, 9) : DitheredShade(kPavement, BandedShade(14.0), x, y));
            }
        }
    }
}

struct SeatStyle {
    double rowPitch, seatPitch;
    int figureHeight;  // 1, 2 or 3 pixels
};

SeatStyle StyleForSize(int size) {
    if (size >= 3) return {4.0, 3.0, 3};
    if (size == 2) return {3.0, 2.6, 2};
    return {2.0, 2.0, 1};
}

// Mostly pale robes and muted cloth, with a rare stronger colour.
uint8_t ClothColor(PaintRandom& random) {
    const int pick = NextRandom(random) % 20;
    if (pick < 6) return Shade(kPavement, 10 + NextRandom(random) % 4);
    if (pick < 10) return Shade(kCoolStone, 7 + NextRandom(random) % 3);
    if (pick < 13) return Shade(kPlum, 6 + NextRandom(random) % 3);
    if (pick < 16) return Shade(kEarth, 9 + NextRandom(random) % 4);
    if (pick < 17) return Shade(kClothRed, 6 + NextRandom(random) % 2);
    if (pick < 18) return Shade(kClothBlue, 7 + NextRandom(random) % 2);
    if (pick < 19) return Shade(kClothGreen, 6 + NextRandom(random) % 2);
    return Shade(kClothOchre, 8 + NextRandom(random) % 2);
}

void PaintSeatedFigure(Canvas& picture, int x, int y, int height, PaintRandom& random) {
    const uint8_t cloth = ClothColor(random);
    const uint8_t shadow = cloth - 2;
    const uint8_t head = NextRandom(random) % 3 ? Shade(kSkin, 7 + NextRandom(random) % 4) : Shade(kEarth, 5);
    if (height == 1) {
        PutPixel(picture, x, y, NextRandom(random) % 3 ? cloth : head);
        return;
    }
    PutPixel(picture, x + 1, y, head);
    PutPixel(picture, x, y + 1, shadow);
    PutPixel(picture, x + 1, y + 1, cloth);
    if (height == 3) {
        PutPixel(picture, x, y + 2, shadow - 1);
        PutPixel(picture, x + 1, y + 2, shadow);
    }
}

void PaintSeatRegion(Canvas& picture, const SeatRegion& region, PaintRandom& random) {
    const WalkwayQuad& q = region.corners;
    ForEachPolygonSpan(QuadOutline(q, 5.0), picture.height, [&](int y, int x0, int x1) {
        for (int x = x0; x < x1; ++x) PutPixel(picture, x, y, Shade(kEarth, 1 + ((x + y) & 1)));
    });
    const SeatStyle style = StyleForSize(region.size);
    const PointF nearMid = QuadPointF(q, 0.5, 0.0), farMid = QuadPointF(q, 0.5, 1.0);
    const int rows = static_cast<int>(std::hypot(farMid.x - nearMid.x, farMid.y - nearMid.y) / style.rowPitch) + 2;
    for (int row = rows; row >= -1; --row) {  // far rows first
        const double v = (row + 0.5) / rows;
        const PointF a = QuadPointF(q, -0.02, v), b = QuadPointF(q, 1.02, v);
        const int seats = static_cast<int>(std::hypot(b.x - a.x, b.y - a.y) / style.seatPitch);
        // The terrace step the row sits on.
        if (style.figureHeight > 1) DrawLine(picture, a.x, a.y + 1, b.x, b.y + 1, Shade(kEarth, 5));
        for (int seat = 0; seat < seats; ++seat) {
            const double u = -0.02 + 1.04 * (seat + 0.5) / seats;
            const PointF p = QuadPointF(q, u, v);
            if (NextRandom(random) % 11 == 0) continue;  // an empty seat now and then
            PaintSeatedFigure(picture, int(p.x), int(p.y) - style.figureHeight + 1, style.figureHeight, random);
        }
    }
}

void PaintPath(Canvas& picture, const WalkwayQuad& q, double vFrom, double vTo, double dx, double dy, double widen,
               double slab) {
    auto at = [&](double u, double v) {
        const PointF p = QuadPointF(q, u, v);
        return PointF{p.x + dx, p.y + dy};
    };
    const double kerb = 0.09;
    FillPolygon(
        picture,
        {at(-widen - kerb, vFrom), at(1 + widen + kerb, vFrom), at(1 + widen + kerb, vTo), at(-widen - kerb, vTo)},
        Shade(kSandstone, 4));
    // Paving slabs: pale stone with a joint every `slab` of the walkway's length.
    for (double v = vFrom; v < vTo; v += slab) {
        const double v1 = std::min(v + slab, vTo);
        const std::vector<PointF> joint = {at(-widen, v), at(1 + widen, v), at(1 + widen, v1), at(-widen, v1)};
        FillPolygon(picture, joint, Shade(kSandstone, 7));
        const double inset = slab * 0.22;
        const std::vector<PointF> stone = {at(-widen + 0.02, v + inset), at(1 + widen - 0.02, v + inset),
                                           at(1 + widen - 0.02, v1), at(-widen + 0.02, v1)};
        ForEachPolygonSpan(stone, picture.height, [&](int y, int x0, int x1) {
            for (int x = x0; x < x1; ++x)
                PutPixel(picture, x, y, DitheredShade(kSandstone, BandedShade(PavementLight(x, y) - 1.2), x, y));
        });
    }
}

// Lamp posts along the far kerb of a walkway, smaller as they recede.
void PaintWalkwayLamps(Canvas& picture, const WalkwayQuad& q, double kerbU, double dx, double dy) {
    for (double v = 0.12; v < 0.95; v += 0.2) {
        const PointF base = QuadPointF(q, kerbU, v);
        const int x = static_cast<int>(base.x + dx), y = static_cast<int>(base.y + dy);
        const int height = static_cast<int>(22 - v * 12);
        FillBox(picture, x, y - height, 1, height, Shade(kEarth, 3));
        PutPixel(picture, x - 1, y - 1, Shade(kEarth, 4));
        PutPixel(picture, x + 1, y - 1, Shade(kEarth, 4));
        FillBox(picture, x - 1, y - height - 2, 3, 3, kWindowGlow);
        PutPixel(picture, x, y - height - 1, kLampCore);
        PutPixel(picture, x, y - height - 3, Shade(kEarth, 4));
    }
}

}  // namespace

void PaintCourtyard(Canvas& picture) {
    PaintPavement(picture);
    PaintRing(picture);
}

void PaintSeating(Canvas& picture) {
    PaintRandom random{4242};
    for (int i = 0; i < kSeatRegionCount; ++i) PaintSeatRegion(picture, kStoredSeatRegions[i], random);
}

void PaintWalkways(Canvas& picture) {
    // Walkers are drawn by their top-left pixel: the path lies under their feet.
    PaintPath(picture, kStoredWalkwayQuads[0], -0.45, 1.0, 4, 15, 0.1, 0.035);
    PaintPath(picture, kStoredWalkwayQuads[1], -0.45, 1.0, 3, 14, 0.1, 0.035);
    PaintPath(picture, kStoredDotQuads[0], -0.05, 1.08, 1, 1, -0.2, 0.09);
    // The far kerb is u = 1 on the left walkway and u = 0 on the right one.
    PaintWalkwayLamps(picture, kStoredWalkwayQuads[0], 1.22, 4, 15);
    PaintWalkwayLamps(picture, kStoredWalkwayQuads[1], -0.22, 3, 14);
}
