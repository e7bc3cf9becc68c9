// The review picture: the scene tables' geometry drawn over the background,
// to check that the painting and the animation agree.
#include "picturegen.h"
#include "scene/tables.h"

namespace {

void DrawQuad(Canvas& canvas, const WalkwayQuad& q, uint8_t color) {
    const Point outline[] = {q.p3, q.p2, q.p0, q.p1, q.p3};
    for (int i = 0; i < 4; ++i) DrawLine(canvas, outline[i].x, outline[i].y, outline[i + 1].x, outline[i + 1].y, color);
}

void DrawRect(Canvas& canvas, int x, int y, int width, int height, uint8_t color) {
    DrawLine(canvas, x, y, x + width - 1, y, color);
    DrawLine(canvas, x, y + height - 1, x + width - 1, y + height - 1, color);
    DrawLine(canvas, x, y, x, y + height - 1, color);
    DrawLine(canvas, x + width - 1, y, x + width - 1, y + height - 1, color);
}

void DrawEllipse(Canvas& canvas, int cx, int cy, int rx, int ry, uint8_t color) {
    for (int i = 0; i < 720; ++i) {
        const double a = i * 3.14159265358979 / 360.0;
        PutPixel(canvas, cx + static_cast<int>(std::sin(a) * rx), cy + static_cast<int>(std::cos(a) * ry), color);
    }
}

}  // namespace

Canvas PaintReviewOverlay(const Canvas& background) {
    Canvas canvas = background;
    const uint8_t red = Shade(kClothRed, 12), green = Shade(kClothGreen, 13), blue = Shade(kClothBlue, 13),
                  yellow = Shade(kClothOchre, 14), white = kStarWhite;
    for (const WalkwayQuad& q : kStoredWalkwayQuads) DrawQuad(canvas, q, green);
    DrawQuad(canvas, kStoredDotQuads[0], yellow);
    for (const SeatRegion& r : kStoredSeatRegions) DrawQuad(canvas, r.corners, blue);
    const CircleLayoutRow& c = kCircleLayout[0];
    DrawEllipse(canvas, c.innerCentreX, c.innerCentreY, c.innerRadiusX, c.innerRadiusY, red);
    DrawEllipse(canvas, c.outerCentreX, c.outerCentreY, c.outerRadiusX, c.outerRadiusY, red);
    const SpriteCell& building = kStoredSpriteCells[kBuildingKind];
    DrawRect(canvas, c.buildingX, c.buildingY, building.width, building.height, yellow);
    const SpriteCell& lamps = kStoredSpriteCells[kLampsKind];
    DrawRect(canvas, c.lampsX, c.lampsY, lamps.width, lamps.height, yellow);
    const ForegroundPlacementRow& f = kForegroundPlacement[0];
    DrawRect(canvas, f.leftX, f.leftY, kStoredSpriteCells[kLeftForegroundCell].width,
             kStoredSpriteCells[kLeftForegroundCell].height, white);
    DrawRect(canvas, f.rightX, f.rightY, kStoredSpriteCells[kRightForegroundCell].width,
             kStoredSpriteCells[kRightForegroundCell].height, white);
    // The frame rectangle: from the left walkway's corner and the building's
    // top to the right walkway's corner and the front rows, plus the margin.
    const int x0 = kStoredWalkwayQuads[0].p2.x, y0 = c.buildingY;
    const int width = kStoredWalkwayQuads[1].p3.x - x0 + 50, height = kStoredSeatRegions[1].corners.p2.y - y0 + 50;
    DrawRect(canvas, x0, y0, width, height, red);
    return canvas;
}
