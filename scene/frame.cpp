// The frame driver's portable half: the whole picture for a paint, one frame
// composed in memory for a timer tick, and putting that frame on the screen.
#include <algorithm>

#include "image/compose.h"
#include "image/row_spans.h"
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

constexpr int kMaxPresentParts = 128;

// Within `r`, the rows' spans where the frame differs from what was put
// last, copied into that record; their bounding box (empty when none). One
// part per changed rectangle: on Windows every part is a call into GDI, and
// the crowd's scattered patches would make hundreds of smaller ones.
ImagePart PasteDifferences(Scene& scene, SceneRect r) {
    const DifferingBlock block = PasteDifferingRows(
        PixelAddress(scene.frameImage, r.x, r.y), ImageStride(scene.frameImage), PixelAddress(scene.presentedImage, r.x, r.y),
        ImageStride(scene.presentedImage), r.x, r.y, r.width, r.height, nullptr);
    if (block.columns.end <= block.columns.begin) return {0, 0, 0, 0};
    return {block.columns.begin, block.rows.begin, block.columns.end - block.columns.begin,
            block.rows.end - block.rows.begin};
}

// The parts of the frame to put: the whole frame after a paint; else the
// differing parts of what the last frame changed (of the whole frame when
// more than one frame was composed since the last present). The record of
// what was put is made at the first present: hosts that show the scene
// through a view never need it. Without it every present is whole.
int PasteDifferingParts(Scene& scene, ImagePart parts[kMaxPresentParts]) {
    const SceneRect whole = WholeFrame(scene);
    if (scene.presentedImage == nullptr) scene.presentedImage = CreateImage(whole.width, whole.height, scene.frameImage);
    if (!scene.presentedKnown || scene.presentedImage == nullptr) {
        CopyImageRect(scene.frameImage, 0, 0, whole.width, whole.height, scene.presentedImage, 0, 0);
        scene.presentedKnown = scene.presentedImage != nullptr;
        parts[0] = {whole.x, whole.y, whole.width, whole.height};
        return 1;
    }
    SceneRect rects[kMaxPresentParts];
    int count = 1;
    rects[0] = whole;
    if (scene.composedSincePresent == 1) count = FrameChangedRects(scene, rects, kMaxPresentParts);
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const ImagePart part = PasteDifferences(scene, rects[i]);
        if (part.width > 0) parts[kept++] = part;
    }
    return kept;
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

void PaintScene(Scene& scene, DrawTarget target) {
    if (target == nullptr) return;
    ForgetShownFrame(scene);  // the strip now shows the bare picture
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
    scene.composedSincePresent = std::min(scene.composedSincePresent + 1, 2);
}

void PresentFrame(Scene& scene) {
    if (scene.frameImage == nullptr || scene.screen == nullptr) return;
    SelectScenePalette(scene, scene.screen);
    const SceneRect frame = FrameWindowRect(scene);
    ImagePart parts[kMaxPresentParts];
    const int count = PasteDifferingParts(scene, parts);
    DrawImageParts(scene.frameImage, scene.screen, frame.x, frame.y, parts, count);
    scene.composedSincePresent = 0;
}

void ForgetShownFrame(Scene& scene) { scene.presentedKnown = 0; }
