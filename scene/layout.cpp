// The resolution class, the fitting of the scaled tables to it, the frame
// rectangle, and the scene's copies of the settings.
#include <algorithm>

#include "scene/steps.h"

namespace {

constexpr double kTableFactor[4] = {1.0, 0.78125, 0.625, 1.0};
constexpr int kCellSetOffset[4] = {0, 11, 22, 22};
constexpr int kFrameMargin = 50;  // keeps every sprite at a path position inside

void ScalePoint(Point* point, double factor) {
    point->x = static_cast<int32_t>(point->x * factor);
    point->y = static_cast<int32_t>(point->y * factor);
}

void ScaleQuad(WalkwayQuad* quad, double factor) {
    ScalePoint(&quad->p0, factor);
    ScalePoint(&quad->p1, factor);
    ScalePoint(&quad->p2, factor);
    ScalePoint(&quad->p3, factor);
}

int32_t ClampedValue(const SettingsRecord& record, int index) {
    const Setting& builtIn = kDefaultSettings.entries[index];
    return std::clamp(record.entries[index].value, builtIn.min, builtIn.max);
}

}  // namespace

// Stored values outside a setting's built-in range (the default record's min
// and max, whatever ranges the stored record carries) are clamped into it, so
// the tables sized for those ranges always hold: walkway walkers 5 to 100 of
// the 200 slots, circling walkers 30 to 125, seat patches 100 to 599.
void CopySceneSettings(Scene& scene, const SettingsRecord& record) {
    scene.settings.circleWalkers = ClampedValue(record, CircleWalkers);
    scene.settings.circleSpeed = ClampedValue(record, CircleSpeed);
    scene.settings.walkwayWalkers = ClampedValue(record, IsleWalkers);
    scene.settings.walkwaySpeed = ClampedValue(record, IsleSpeed);
    scene.settings.redrawSpeed = ClampedValue(record, RedrawSpeed);
    scene.settings.seatPatches = std::min(ClampedValue(record, SeatShuffle), kMaxSeatPatches);
}

int SettingChangesRunningScene(int index) {
    return index == CircleSpeed || index == CircleWalkers || index == IsleSpeed || index == RedrawSpeed;
}

void ChangeSceneSettings(Scene& scene, const SettingsRecord& record) {
    const SceneSettings laidOut = scene.settings;
    CopySceneSettings(scene, record);
    scene.settings.walkwayWalkers = laidOut.walkwayWalkers;
    scene.settings.seatPatches = laidOut.seatPatches;
}

int ChooseResolutionClass(int clientWidth, int screenWidth) {
    if (clientWidth >= 1024) return 0;
    if (clientWidth >= 800) return 1;
    if (clientWidth >= 640) return 2;
    if (screenWidth > clientWidth) return kPreviewClass;
    return kNoClass;
}

void ScaleSceneTables(Scene& scene, int sceneClass) {
    if (sceneClass < 0 || sceneClass > kPreviewClass) return;
    const double factor = kTableFactor[sceneClass];
    scene.resolutionClass = sceneClass;
    scene.cellSetOffset = kCellSetOffset[sceneClass];
    for (WalkwayQuad& quad : scene.walkwayQuads) ScaleQuad(&quad, factor);
    for (WalkwayQuad& quad : scene.dotQuads) ScaleQuad(&quad, factor);
    for (SeatRegion& region : scene.seatRegions) ScaleQuad(&region.corners, factor);
}

Rect SceneFrameRect(const Scene& scene) {
    if (scene.resolutionClass < 0 || scene.resolutionClass >= kStoredClassCount) return {0, 0, 0, 0};
    const int32_t x0 = scene.walkwayQuads[0].p2.x;
    const int32_t y0 = kCircleLayout[scene.resolutionClass].buildingY;
    return {x0, y0, scene.walkwayQuads[1].p3.x - x0 + kFrameMargin,
            scene.seatRegions[1].corners.p2.y - y0 + kFrameMargin};
}
