// The frame driver's portable half: the whole picture for a paint, one frame
// composed in memory for a timer tick, and putting that frame on the screen.
#include <algorithm>

#include "image/compose.h"
#include "scene/steps.h"

namespace {

// Plays the part of selecting the scene palette into a device context; on
// Windows the host selects and realises the GDI palette itself.
void SelectScenePalette(const Scene& scene, DrawTarget target) {
#ifdef _WIN32
    (void)scene;
    (void)target;
#else
    target->palette = scene.palette;
#endif
}

}  // namespace

int SceneAnimates(const Scene& scene) { return scene.frameImage != nullptr ? 1 : 0; }

int FrameTimerPeriod(const Scene& scene) { return 601 - 5 * scene.settings.redrawSpeed; }

SceneRect PictureWindowRect(const Scene& scene) {
    return {scene.pictureOffset.x, scene.pictureOffset.y, ImageWidth(scene.backgroundImage),
            ImageHeight(scene.backgroundImage)};
}

SceneRect FrameWindowRect(const Scene& scene) {
    if (scene.frameImage == nullptr) return {0, 0, 0, 0};
    return {scene.frameOrigin.x + scene.pictureOffset.x, scene.frameOrigin.y + scene.pictureOffset.y,
            ImageWidth(scene.frameImage), ImageHeight(scene.frameImage)};
}

void PaintScene(const Scene& scene, DrawTarget target) {
    if (target == nullptr) return;
    SelectScenePalette(scene, target);
    const SceneRect picture = PictureWindowRect(scene);
    DrawImage(scene.backgroundImage, target, picture.x, picture.y, picture.width, picture.height);
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

void PresentFrame(const Scene& scene) {
    if (scene.frameImage == nullptr || scene.screen == nullptr) return;
    SelectScenePalette(scene, scene.screen);
    const SceneRect frame = FrameWindowRect(scene);
    DrawImage(scene.frameImage, scene.screen, frame.x, frame.y, frame.width, frame.height);
}
