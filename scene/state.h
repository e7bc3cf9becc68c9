// The scene's process-wide state: the working copies of the scaled tables, the
// run-time tables of the moving figures and what set-up fixes for the run,
// with the steps of set-up and of one frame that work on them.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/palette.h"
#include "image/platform.h"
#include "scene/scene.h"
#include "scene/tables.h"
#include "settings/settings.h"

struct WalkwayWalker {
    float u;   // across the walkway
    float v;   // along it, 0 at the near end
    float du;  // change of u per tick
    float dv;  // change of v per tick
    int32_t pause;  // ticks left to rest; moves only while below 5
    int32_t cell;   // figure kind 6 to 9 (figure walkers only)
    int32_t way;    // index into walkwayQuads or dotQuads
};

struct SeatPatch {
    int32_t size, x, y;
};

constexpr int kWalkerGroupSize = 200;  // figure walkers, then dot walkers
constexpr int kDotWalkerFirst = kWalkerGroupSize;
constexpr int kWalkwayWalkerSlots = 2 * kWalkerGroupSize;
constexpr int kPatchRingSize = 600;
constexpr int kMaxSeatPatches = 599;
constexpr int kPreviewClass = 3;
constexpr int kNoClass = -1;  // the display is refused

// Scene copies of the settings, fixed at set-up.
struct SceneSettings {
    int32_t circleWalkers;
    int32_t circleSpeed;
    int32_t seatPatches;
    int32_t walkwayWalkers;
    int32_t walkwaySpeed;
    int32_t redrawSpeed;
};

// The frame rectangle: frameOrigin (X0, Y0) and the size of FrameImage.
struct FrameBounds {
    int32_t x, y, width, height;
};

extern SceneSettings sceneSettings;

// Working copies of the tables that set-up scales.
extern SpriteCell SpriteCellTable[kSpriteCellCount];
extern WalkwayQuad walkwayQuads[2];
extern WalkwayQuad dotQuads[2];
extern SeatRegion seatRegions[kSeatRegionCount];

extern WalkwayWalker walkwayWalkers[kWalkwayWalkerSlots];
extern SeatPatch patchRing[kPatchRingSize];
extern int32_t patchCursor;
extern double circlePhase;

extern int resolutionClass;
extern int cellSetOffset;
extern ScenePoint pictureOffset;
extern ScenePoint frameOrigin;
extern DrawTarget screenTarget;  // kept from set-up for the frames

// Restores every table and variable above to its state at process start.
void ResetSceneState();
// Only the part that the settings and the generator decide: the settings
// copies, the walkers, the patch ring and the circle's phase.
void ResetMovingFigures();

// Set-up steps.
void CopySceneSettings(const SettingsRecord& record);
void SeedSceneRandom(uint32_t seed);
int SceneRandom();  // 0 to 32767
void PlaceWalkwayWalkers();
// 0 to 3, or kNoClass when the display is too small.
int ChooseResolutionClass(int clientWidth, int screenWidth);
void ScaleSceneTables(int sceneClass);
// The frame rectangle of the current class from the scaled tables; all zero
// in the preview class, which is never animated.
FrameBounds SceneFrameRect();
// 1 when every picture, the frame image and the palette exist.
int LoadScenePictures(int clientWidth, int clientHeight, const DisplayPaletteInfo* display);
void ShowMinimumConfigurationMessage();
// The platform's half of ShowSceneMessage: a message box, or standard error.
void ShowPlatformSceneMessage(const char* text, const char* caption);

// Frame steps, in the order of one frame.
void RestoreFrame();
void ShuffleSeatedCrowd();
void UpdateWalkwayWalkers();
void DrawForegroundPieces();
void UpdateCirclingWalkers();
void DrawFigureCell(int x, int y, int kind);

// The circle's phase step and wrap value; deliberately not 2 pi to full precision.
constexpr double kCircleTurn = 6.283185307;
