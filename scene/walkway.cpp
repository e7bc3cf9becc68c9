// The walkway walkers (figures on the two near walkways, dots on the far one)
// and the two foreground pieces drawn over the near ends of the walkways.
#include <algorithm>
#include <cstring>

#include "image/compose.h"
#include "scene/steps.h"

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

float UnitFraction(Scene& scene) { return static_cast<float>(SceneRandom(scene) % 100) / 100.0f; }

// Set-up places each walker at a random point along its way, in single precision.
void PlaceWalker(Scene& scene, WalkwayWalker* walker, const WalkerGroup& group) {
    const float a = UnitFraction(scene);
    const float b = UnitFraction(scene);
    const float randomPart = static_cast<float>(SceneRandom(scene) % group.speedRange) / group.speedDivisor;
    const float s = randomPart + static_cast<float>(scene.settings.walkwaySpeed) / 7500.0f;
    const float c = UnitFraction(scene);
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
void RestartAtFarEnd(Scene& scene, WalkwayWalker* walker, float cv, const WalkerGroup& group) {
    if (walker->pause != 0 || !(static_cast<double>(cv) > kFarEnd)) return;
    const float target = static_cast<float>(static_cast<double>(SceneRandom(scene) % 100) / 100.0f);
    const double randomPart = static_cast<double>(SceneRandom(scene) % group.speedRange) / group.speedDivisor;
    walker->dv = static_cast<float>(randomPart + static_cast<double>(scene.settings.walkwaySpeed) / 7500.0f);
    walker->du = static_cast<float>((static_cast<double>(target) - walker->u) * walker->dv);
    walker->pause = SceneRandom(scene) % 30 + 10;
    walker->v = 0.0f;
}

void Advance(WalkwayWalker* walker, double stride) {
    if (walker->pause < 5) {
        walker->u = static_cast<float>(walker->u + stride * walker->du);
        walker->v = static_cast<float>(walker->v + stride * walker->dv);
    }
    if (walker->pause > 0) --walker->pause;
}

void UpdateFigureWalker(Scene& scene, WalkwayWalker* walker) {
    const Point at = WalkerPoint(scene.walkwayQuads[walker->way & 1], *walker);
    DrawFigureCell(scene, at.x, at.y, walker->cell);
    RestartAtFarEnd(scene, walker, ClampUnit(walker->v), kFigureGroup);
    Advance(walker, 1.0);
}

// Dots are one or two pixels square; one drawn at least a pixel in from
// the frame's edges lies wholly in it.
struct DotFrame {
    ImageRows rows;
    uint64_t* marks;  // null when the frame does not fit the tile map
};

DotFrame StartDots(Scene& scene) {
    const ImageRows rows = RowsOf(scene.frameImage);
    const bool fits = scene.markWidth == rows.width && scene.markHeight == rows.height;
    return {rows, fits ? CurrentTileMarks(scene) : nullptr};
}

void UpdateDotWalker(Scene& scene, WalkwayWalker* walker, const DotFrame& frame, int dotSize) {
    const float cv = ClampUnit(walker->v);
    const Point at = WalkerPoint(scene.dotQuads[walker->way & 1], *walker);
    const int dx = at.x - scene.frameOrigin.x;
    const int dy = at.y - scene.frameOrigin.y;
    if (dx > 0 && dy > 0 && dx < frame.rows.width - 2 && dy < frame.rows.height - 2) {
        uint8_t* out = RowsPixel(frame.rows, dx, dy);
        for (int row = 0; row < dotSize; ++row) std::memset(out - row * frame.rows.stride, 0, size_t(dotSize));
        if (frame.marks != nullptr) MarkSquareInFrame(frame.marks, dx, dy, dotSize);
    }
    RestartAtFarEnd(scene, walker, cv, kDotGroup);
    Advance(walker, 2.0);
}

}  // namespace

Point WalkerPoint(const WalkwayQuad& quad, const WalkwayWalker& walker) {
    return QuadPoint(quad, ClampUnit(walker.u), ClampUnit(walker.v));
}

// A picture squashed at set-up leaves the sheet shorter than the cell.
Rect ForegroundPieceRect(const Scene& scene, int entry) {
    const SpriteCell& cell = scene.spriteCells[entry];
    const Image* sheet = scene.foregroundSheet;
    return {cell.srcX, cell.srcY, std::min(cell.width, ImageWidth(sheet) - cell.srcX),
            std::min(cell.height, ImageHeight(sheet) - cell.srcY)};
}

void PlaceWalkwayWalkers(Scene& scene) {
    const int count = std::min(scene.settings.walkwayWalkers, kWalkerGroupSize);
    for (int i = 0; i < count; ++i) {
        WalkwayWalker* walker = &scene.walkwayWalkers[kFigureGroup.first + i];
        PlaceWalker(scene, walker, kFigureGroup);
        if (SceneRandom(scene) % 2 == 0) {
            walker->way = 0;
            walker->cell = kLeftWalkerFirst + SceneRandom(scene) % 2;
        } else {
            walker->way = 1;
            walker->cell = kRightWalkerFirst + SceneRandom(scene) % 2;
        }
    }
    for (int i = 0; i < count; ++i) {
        WalkwayWalker* walker = &scene.walkwayWalkers[kDotGroup.first + i];
        PlaceWalker(scene, walker, kDotGroup);
        walker->way = 0;
    }
}

int DotSize(const Scene& scene) { return scene.resolutionClass == 2 ? 1 : 2; }

void UpdateWalkwayWalkers(Scene& scene) {
    const int count = std::min(scene.settings.walkwayWalkers, kWalkerGroupSize);
    for (int i = 0; i < count; ++i) UpdateFigureWalker(scene, &scene.walkwayWalkers[kFigureGroup.first + i]);
    const int dotSize = DotSize(scene);
    const DotFrame frame = StartDots(scene);
    for (int i = 0; i < count; ++i) UpdateDotWalker(scene, &scene.walkwayWalkers[kDotGroup.first + i], frame, dotSize);
}

void DrawForegroundPieces(Scene& scene) {
    DrawFixedPiece(scene, kLeftForegroundPiece);
    DrawFixedPiece(scene, kRightForegroundPiece);
}
