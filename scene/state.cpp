// The scene's process-wide state and its reset to the state at process start.
#include <cstring>

#include "scene/scene.h"
#include "scene/state.h"

int sceneReady = 0;
int configurationRefused = 0;

Image* BackgroundImage = nullptr;
Image* FigureSheet = nullptr;
Image* ForegroundSheet = nullptr;
Image* FrameImage = nullptr;

SceneSettings sceneSettings = {};
SpriteCell SpriteCellTable[kSpriteCellCount];
WalkwayQuad walkwayQuads[2];
WalkwayQuad dotQuads[2];
SeatRegion seatRegions[kSeatRegionCount];

WalkwayWalker walkwayWalkers[kWalkwayWalkerSlots] = {};
SeatPatch patchRing[kPatchRingSize] = {};
int32_t patchCursor = 0;
double circlePhase = 0.0;

int resolutionClass = 0;
int cellSetOffset = 0;
ScenePoint pictureOffset = {0, 0};
ScenePoint frameOrigin = {0, 0};
DrawTarget screenTarget = nullptr;

namespace {

void CopyStoredTables() {
    std::memcpy(SpriteCellTable, kStoredSpriteCells, sizeof SpriteCellTable);
    std::memcpy(walkwayQuads, kStoredWalkwayQuads, sizeof walkwayQuads);
    std::memcpy(dotQuads, kStoredDotQuads, sizeof dotQuads);
    std::memcpy(seatRegions, kStoredSeatRegions, sizeof seatRegions);
}

// The working tables hold the stored values before main runs.
const int kTablesCopied = (CopyStoredTables(), 1);

}  // namespace

void ResetMovingFigures() {
    sceneSettings = {};
    std::memset(walkwayWalkers, 0, sizeof walkwayWalkers);
    std::memset(patchRing, 0, sizeof patchRing);
    patchCursor = 0;
    circlePhase = 0.0;
}

void ResetSceneState() {
    (void)kTablesCopied;
    CopyStoredTables();
    ResetMovingFigures();
    resolutionClass = 0;
    cellSetOffset = 0;
    pictureOffset = {0, 0};
    frameOrigin = {0, 0};
    screenTarget = nullptr;
    sceneReady = 0;
    configurationRefused = 0;
}
