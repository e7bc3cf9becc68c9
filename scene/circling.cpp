// The crowd that circles the central building on two ellipses, the building
// between its far and near halves, the lamps in front; and DrawFigureCell,
// which puts every figure sprite into the frame image.
#include <algorithm>

#include "image/compose.h"
#include "scene/state.h"
#include "scene/trig.h"

namespace {

constexpr int kMaxCircleWalkers = 125;  // the setting's built-in maximum

// Walker i on its ring at angle i x step + circlePhase; even i on the inner
// ring, odd i on the outer one. Truncated before the centre is added.
ScenePoint CircleWalkerPosition(const CircleLayoutRow& layout, int i, double step) {
    const double angle = i * step + circlePhase;
    const bool inner = i % 2 == 0;
    const int radiusX = inner ? layout.innerRadiusX : layout.outerRadiusX;
    const int radiusY = inner ? layout.innerRadiusY : layout.outerRadiusY;
    const int centreX = inner ? layout.innerCentreX : layout.outerCentreX;
    const int centreY = inner ? layout.innerCentreY : layout.outerCentreY;
    double sine, cosine;
    SceneSineCosine(angle, &sine, &cosine);
    return {static_cast<int32_t>(sine * radiusX) + centreX, static_cast<int32_t>(cosine * radiusY) + centreY};
}

// Every walker's position for this tick, computed once for both passes.
// Returns the number of walkers placed.
int PlaceCircleWalkers(const CircleLayoutRow& layout, ScenePoint* positions) {
    const int count = std::min(sceneSettings.circleWalkers, kMaxCircleWalkers);
    if (count <= 0) return 0;  // no step to take, and no division by zero
    const double step = kCircleTurn / count;
    for (int i = 0; i < count; ++i) positions[i] = CircleWalkerPosition(layout, i, step);
    return count;
}

// Draws the walkers on the far side of the building (nearSide false) or the
// near side; both rings are sorted by the inner ring's centre line.
void DrawCircleHalf(const CircleLayoutRow& layout, const ScenePoint* positions, int count, bool nearSide) {
    for (int i = 0; i < count; ++i) {
        const ScenePoint at = positions[i];
        if ((at.y >= layout.innerCentreY) == nearSide) DrawFigureCell(at.x, at.y, i % 5);
    }
}

}  // namespace

void DrawFigureCell(int x, int y, int kind) {
    const int entry = kind + cellSetOffset;
    if (kind < 0 || kind >= kCellsPerSet || entry >= kLeftForegroundCell) return;
    const SpriteCell& cell = SpriteCellTable[entry];
    BlitTransparent(FigureSheet, cell.srcX, cell.srcY, cell.width, cell.height, FrameImage,
                    x - cell.anchorX - frameOrigin.x, y - cell.anchorY - frameOrigin.y);
}

void UpdateCirclingWalkers() {
    if (resolutionClass < 0 || resolutionClass >= kStoredClassCount) return;
    const CircleLayoutRow& layout = kCircleLayout[resolutionClass];
    ScenePoint positions[kMaxCircleWalkers];
    const int count = PlaceCircleWalkers(layout, positions);
    DrawCircleHalf(layout, positions, count, false);
    DrawFigureCell(layout.buildingX, layout.buildingY, kBuildingKind);
    DrawCircleHalf(layout, positions, count, true);
    DrawFigureCell(layout.lampsX, layout.lampsY, kLampsKind);
    circlePhase = circlePhase + sceneSettings.circleSpeed / 10000.0;
    if (circlePhase > kCircleTurn) circlePhase -= kCircleTurn;
}
