// The frame driver: one frame composed in memory for a timer tick, and the
// frame timer's period.
#include "scene/steps.h"

int SceneAnimates(const Scene& scene) { return scene.frameImage != nullptr ? 1 : 0; }

int FrameTimerPeriod(const Scene& scene) { return 601 - 5 * scene.settings.redrawSpeed; }

Rect PictureWindowRect(const Scene& scene) {
    return {scene.pictureOffset.x, scene.pictureOffset.y, ImageWidth(scene.backgroundImage),
            ImageHeight(scene.backgroundImage)};
}

Rect FrameWindowRect(const Scene& scene) {
    if (scene.frameImage == nullptr) return {0, 0, 0, 0};
    return {scene.frameOrigin.x + scene.pictureOffset.x, scene.frameOrigin.y + scene.pictureOffset.y,
            ImageWidth(scene.frameImage), ImageHeight(scene.frameImage)};
}

void ComposeFrame(Scene& scene) {
    if (scene.frameImage == nullptr) return;
    StartFrameTiles(scene);
    RestoreFrame(scene);
    ShuffleSeatedCrowd(scene);
    UpdateWalkwayWalkers(scene);
    DrawForegroundPieces(scene);
    UpdateCirclingWalkers(scene);
}
