// The walkway walkers (figures on the two near walkways, dots on the far one)
// and the two foreground pieces drawn over the near ends of the walkways.
#include <algorithm>

#include "image/compose.h"
#include "scene/state.h"

namespace {

// A restart draws a new speed from a random part below range / divisor and
// the walkway speed; the two groups differ only in these.
struct WalkerGroup {
    int first;
    int speedRange;
    float speedDivisor;
};

constexpr WalkerGroup kFigureGroup = {0, 400, 2000000.0f};
constexpr WalkerGroup kDotGroup = {kDotWalkerFirst, 150, 1000000.0f};
constexpr double kFarEnd = 0.99;  // compared with a float: 0.99f already passes

float UnitFraction() { return static_cast<float>(SceneRandom() % 100) / 100.0f; }

// Set-up places each walker at a random point along its way, in single precision.
void PlaceWalker(WalkwayWalker* walker, const WalkerGroup& group) {
    const float a = UnitFraction();
    const float b = UnitFraction();
    const float randomPart = static_cast<float>(SceneRandom() % group.speedRange) / group.speedDivisor;
    const float s = randomPart + static_cast<float>(sceneSettings.walkwaySpeed) / 7500.0f;
    const float c = UnitFraction();
    const float du = (b - a) * s;
    walker->u = a + du * c;
    walker->v = c;
    walker->du = du;
    walker->dv = s;
    walker->pause = 0;
}

float ClampUnit(float value) { return value >= 1.0f ? 1.0f : (value <= 0.0f ? 0.0f : value); }

// At the far end with no rest left: back to the near end with a new target
// across the walkway, a new speed and a rest. u is kept. Double arithmetic,
// stored into the float fields.
void RestartAtFarEnd(WalkwayWalker* walker, float cv, const WalkerGroup& group) {
    if (walker->pause != 0 || !(static_cast<double>(cv) > kFarEnd)) return;
    const float target = static_cast<float>(static_cast<double>(SceneRandom() % 100) / 100.0f);
    const double randomPart = static_cast<double>(SceneRandom() % group.speedRange) / group.speedDivisor;
    walker->dv = static_cast<float>(randomPart + static_cast<double>(sceneSettings.walkwaySpeed) / 7500.0f);
    walker->du = static_cast<float>((static_cast<double>(target) - walker->u) * walker->dv);
    walker->pause = SceneRandom() % 30 + 10;
    walker->v = 0.0f;
}

void Advance(WalkwayWalker* walker, double stride) {
    if (walker->pause < 5) {
        walker->u = static_cast<float>(walker->u + stride * walker->du);
        walker->v = static_cast<float>(walker->v + stride * walker->dv);
    }
    if (walker->pause > 0) --walker->pause;
}

void UpdateFigureWalker(WalkwayWalker* walker) {
    const float cu = ClampUnit(walker->u);
    const float cv = ClampUnit(walker->v);
    const ScenePoint at = QuadPoint(walkwayQuads[walker->way & 1], cu, cv);
    DrawFigureCell(at.x, at.y, walker->cell);
    RestartAtFarEnd(walker, cv, kFigureGroup);
    Advance(walker, 1.0);
}

void UpdateDotWalker(WalkwayWalker* walker, int dotSize) {
    const float cu = ClampUnit(walker->u);
    const float cv = ClampUnit(walker->v);
    const ScenePoint at = QuadPoint(dotQuads[walker->way & 1], cu, cv);
    const int dx = at.x - frameOrigin.x;
    const int dy = at.y - frameOrigin.y;
    if (dx > 0 && dy > 0 && dx < ImageWidth(FrameImage) - 2 && dy < ImageHeight(FrameImage) - 2) {
        FillImageRect(FrameImage, dx, dy, dotSize, dotSize, 0);
    }
    RestartAtFarEnd(walker, cv, kDotGroup);
    Advance(walker, 2.0);
}

void DrawForegroundPiece(int entry, int x, int y) {
    const SpriteCell& cell = SpriteCellTable[entry];
    // A picture squashed at set-up leaves the sheet shorter than the cell.
    const int width = std::min(cell.width, ImageWidth(ForegroundSheet) - cell.srcX);
    const int height = std::min(cell.height, ImageHeight(ForegroundSheet) - cell.srcY);
    if (width <= 0 || height <= 0) return;
    BlitTransparent(ForegroundSheet, cell.srcX, cell.srcY, width, height, FrameImage,
                    x - frameOrigin.x, y - frameOrigin.y);
}

}  // namespace

void PlaceWalkwayWalkers() {
    const int count = std::min(sceneSettings.walkwayWalkers, kWalkerGroupSize);
    for (int i = 0; i < count; ++i) {
        WalkwayWalker* walker = &walkwayWalkers[kFigureGroup.first + i];
        PlaceWalker(walker, kFigureGroup);
        if (SceneRandom() % 2 == 0) {
            walker->way = 0;
            walker->cell = kLeftWalkerFirst + SceneRandom() % 2;
        } else {
            walker->way = 1;
            walker->cell = kRightWalkerFirst + SceneRandom() % 2;
        }
    }
    for (int i = 0; i < count; ++i) {
        WalkwayWalker* walker = &walkwayWalkers[kDotGroup.first + i];
        PlaceWalker(walker, kDotGroup);
        walker->way = 0;
    }
}

void UpdateWalkwayWalkers() {
    const int count = std::min(sceneSettings.walkwayWalkers, kWalkerGroupSize);
    for (int i = 0; i < count; ++i) UpdateFigureWalker(&walkwayWalkers[kFigureGroup.first + i]);
    const int dotSize = resolutionClass == 2 ? 1 : 2;
    for (int i = 0; i < count; ++i) UpdateDotWalker(&walkwayWalkers[kDotGroup.first + i], dotSize);
}

void DrawForegroundPieces() {
    if (resolutionClass < 0 || resolutionClass >= kStoredClassCount) return;
    const ForegroundPlacementRow& place = kForegroundPlacement[resolutionClass];
    DrawForegroundPiece(kLeftForegroundCell, place.leftX, place.leftY);
    DrawForegroundPiece(kRightForegroundCell, place.rightX, place.rightY);
}
