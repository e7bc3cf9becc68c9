// The frame driver's portable half: the whole picture for a paint, one frame
// composed in memory for a timer tick, and putting that frame on the screen.
#include <algorithm>

#include "image/compose.h"
#include "scene/scene.h"
#include "scene/state.h"

namespace {

// Plays the part of selecting the scene palette into a device context; on
// Windows the host selects and realises the GDI palette itself.
void SelectScenePalette(DrawTarget target) {
#ifdef _WIN32
    (void)target;
#else
    target->palette = ScenePalette;
#endif
}

}  // namespace

int SceneResolutionClass() { return resolutionClass; }

int SceneAnimates() { return sceneReady && FrameImage != nullptr ? 1 : 0; }

int FrameTimerPeriod() { return 601 - 5 * sceneSettings.redrawSpeed; }

SceneRect PictureWindowRect() {
    if (BackgroundImage == nullptr) return {0, 0, 0, 0};
    return {pictureOffset.x, pictureOffset.y, ImageWidth(BackgroundImage), ImageHeight(BackgroundImage)};
}

SceneRect FrameWindowRect() {
    if (FrameImage == nullptr) return {0, 0, 0, 0};
    return {frameOrigin.x + pictureOffset.x, frameOrigin.y + pictureOffset.y, ImageWidth(FrameImage),
            ImageHeight(FrameImage)};
}

void PaintScene(DrawTarget target) {
    if (BackgroundImage == nullptr || target == nullptr) return;
    SelectScenePalette(target);
    const SceneRect picture = PictureWindowRect();
    DrawImage(BackgroundImage, target, picture.x, picture.y, picture.width, picture.height);
}

// Only the part of the frame rectangle inside the picture is copied; the rest
// lies outside the client area as well and is never seen.
void RestoreFrame() {
    const int width = std::min(ImageWidth(FrameImage), ImageWidth(BackgroundImage) - frameOrigin.x);
    const int height = std::min(ImageHeight(FrameImage), ImageHeight(BackgroundImage) - frameOrigin.y);
    if (width <= 0 || height <= 0) return;
    CopyImageRect(BackgroundImage, frameOrigin.x, frameOrigin.y, width, height, FrameImage, 0, 0);
}

void ComposeFrame() {
    if (FrameImage == nullptr || BackgroundImage == nullptr) return;
    RestoreFrame();
    ShuffleSeatedCrowd();
    UpdateWalkwayWalkers();
    DrawForegroundPieces();
    UpdateCirclingWalkers();
}

void PresentFrame() {
    if (FrameImage == nullptr || screenTarget == nullptr) return;
    SelectScenePalette(screenTarget);
    const SceneRect frame = FrameWindowRect();
    DrawImage(FrameImage, screenTarget, frame.x, frame.y, frame.width, frame.height);
}
