// The frame driver's portable half: the whole picture for a paint, one frame
// composed in memory for a timer tick, and putting that frame on the screen.
#include <algorithm>
#include <cstring>

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

constexpr int kMaxChangedRects = 128;
constexpr int kMaxPresentParts = 1024;

SceneRect WholeFrame(const Scene& scene) {
    return {0, 0, ImageWidth(scene.frameImage), ImageHeight(scene.frameImage)};
}

// Parts being gathered: a differing span joins a part that reached the row
// above and overlaps it (give or take kPartSlack columns), else starts one.
// Boxes around whole figures would put (and convert) several times the
// pixels that differ; a part per span would cost a call each.
constexpr int kPartSlack = 16;

struct PartList {
    ImagePart* parts;
    int count, max;
    int firstOpen;  // parts before this one cannot grow any more
};

void AddSpan(PartList& list, int y, int begin, int end) {
    while (list.firstOpen < list.count && list.parts[list.firstOpen].y + list.parts[list.firstOpen].height < y) {
        ++list.firstOpen;
    }
    for (int i = list.firstOpen; i < list.count; ++i) {
        ImagePart& part = list.parts[i];
        if (part.y + part.height != y || begin > part.x + part.width + kPartSlack || end < part.x - kPartSlack) continue;
        const int left = std::min(part.x, begin), right = std::max(part.x + part.width, end);
        part = {left, part.y, right - left, part.height + 1};
        return;
    }
    if (list.count < list.max) {
        list.parts[list.count++] = {begin, y, end - begin, 1};
        return;
    }
    // No room: the last part takes it in.
    ImagePart& last = list.parts[list.count - 1];
    const int left = std::min(last.x, begin), right = std::max(last.x + last.width, end);
    const int top = std::min(last.y, y), bottom = std::max(last.y + last.height, y + 1);
    last = {left, top, right - left, bottom - top};
}

// Within `r`, the rows' spans where the frame differs from what was put
// last: copied into that record and gathered into parts.
void PasteDifferences(Scene& scene, SceneRect r, PartList& list) {
    list.firstOpen = list.count;
    for (int y = r.y; y < r.y + r.height; ++y) {
        const uint8_t* now = PixelAddress(scene.frameImage, r.x, y);
        uint8_t* shown = PixelAddress(scene.presentedImage, r.x, y);
        RowSpans spans;
        PasteDifferingSpans(now, shown, r.width, r.x, &spans);
        for (int k = 0; k < spans.count; ++k) AddSpan(list, y, spans.spans[k].begin, spans.spans[k].end);
    }
}

// The parts of the frame to put: the whole frame after a paint; else the
// differing parts of what the last frame changed (of the whole frame when
// more than one frame was composed since the last present).
int PasteDifferingParts(Scene& scene, ImagePart parts[kMaxPresentParts]) {
    const SceneRect whole = WholeFrame(scene);
    if (!scene.presentedKnown) {
        CopyImageRect(scene.frameImage, 0, 0, whole.width, whole.height, scene.presentedImage, 0, 0);
        parts[0] = {whole.x, whole.y, whole.width, whole.height};
        return 1;
    }
    SceneRect rects[kMaxChangedRects];
    int count = 1;
    rects[0] = whole;
    if (scene.composedSincePresent == 1) count = FrameChangedRects(scene, rects, kMaxChangedRects);
    PartList list = {parts, 0, kMaxPresentParts, 0};
    for (int i = 0; i < count; ++i) PasteDifferences(scene, rects[i], list);
    return list.count;
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
    scene.presentedKnown = 0;  // the strip now shows the bare picture
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
    scene.presentedKnown = 1;
    scene.composedSincePresent = 0;
}
