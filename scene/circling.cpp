// The crowd that circles the central building on two ellipses, the building
// between its far and near halves, the lamps in front; and DrawFigureCell,
// which puts every figure sprite into the frame image.
#include <algorithm>

#include "image/compose.h"
#include "scene/steps.h"
#include "scene/trig.h"

namespace {

// Walker i on its ring at angle i x step + phase; even i on the inner
// ring, odd i on the outer one. Truncated before the centre is added.
Point CircleWalkerPosition(const CircleLayoutRow& layout, int i, double step, double phase) {
    const double angle = i * step + phase;
    const bool inner = i % 2 == 0;
    const int radiusX = inner ? layout.innerRadiusX : layout.outerRadiusX;
    const int radiusY = inner ? layout.innerRadiusY : layout.outerRadiusY;
    const int centreX = inner ? layout.innerCentreX : layout.outerCentreX;
    const int centreY = inner ? layout.innerCentreY : layout.outerCentreY;
    double sine, cosine;
    SceneSineCosine(angle, &sine, &cosine);
    return {static_cast<int32_t>(sine * radiusX) + centreX, static_cast<int32_t>(cosine * radiusY) + centreY};
}

// Draws the walkers on the far side of the building (nearSide false) or the
// near side; both rings are sorted by the inner ring's centre line.
void DrawCircleHalf(Scene& scene, const CircleLayoutRow& layout, const Point* positions, int count, bool nearSide) {
    for (int i = 0; i < count; ++i) {
        const Point at = positions[i];
        if ((at.y >= layout.innerCentreY) == nearSide) DrawFigureCell(scene, at.x, at.y, i % 5);
    }
}

}  // namespace

int PlaceCircleWalkers(const Scene& scene, Point* positions) {
    if (scene.resolutionClass < 0 || scene.resolutionClass >= kStoredClassCount) return 0;
    const CircleLayoutRow& layout = kCircleLayout[scene.resolutionClass];
    const int count = std::min(scene.settings.circleWalkers, kMaxCircleWalkers);
    if (count <= 0) return 0;  // no step to take, and no division by zero
    const double step = kCircleTurn / count;
    for (int i = 0; i < count; ++i) positions[i] = CircleWalkerPosition(layout, i, step, scene.circlePhase);
    return count;
}

Point FigureCellCorner(const Scene& scene, int x, int y, int kind) {
    const SpriteCell& cell = scene.spriteCells[kind + scene.cellSetOffset];
    return {x - cell.anchorX - scene.frameOrigin.x, y - cell.anchorY - scene.frameOrigin.y};
}

void DrawFigureCell(Scene& scene, int x, int y, int kind) {
    const int entry = kind + scene.cellSetOffset;
    if (kind < 0 || kind >= kCellsPerSet || entry >= kLeftForegroundCell) return;
    const SpriteCell& cell = scene.spriteCells[entry];
    const Point corner = FigureCellCorner(scene, x, y, kind);
    MarkFrameDrawn(scene, corner.x, corner.y, cell.width, cell.height);
    if (scene.cellSprites[entry] != nullptr) return DrawSpanSprite(scene.cellSprites[entry], scene.frameImage, corner);
    BlitTransparent(scene.figureSheet, {cell.srcX, cell.srcY, cell.width, cell.height}, scene.frameImage, corner);
}

void UpdateCirclingWalkers(Scene& scene) {
    if (scene.resolutionClass < 0 || scene.resolutionClass >= kStoredClassCount) return;
    const CircleLayoutRow& layout = kCircleLayout[scene.resolutionClass];
    Point positions[kMaxCircleWalkers];
    const int count = PlaceCircleWalkers(scene, positions);
    DrawCircleHalf(scene, layout, positions, count, false);
    DrawFixedPiece(scene, kBuildingPiece);
    DrawCircleHalf(scene, layout, positions, count, true);
    DrawFixedPiece(scene, kLampsPiece);
    scene.circlePhase = scene.circlePhase + scene.settings.circleSpeed / 10000.0;
    if (scene.circlePhase > kCircleTurn) scene.circlePhase -= kCircleTurn;
}
