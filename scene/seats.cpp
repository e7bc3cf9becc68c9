// The seated crowd's stir: a ring of small squares of the picture, redrawn two
// pixels up and to the left of where they belong, renewed 47 at a tick.
#include "image/compose.h"
#include "scene/state.h"

namespace {

float ThousandthFraction() { return static_cast<float>(SceneRandom() % 1000) / 1000.0f; }

// Entry 0 keeps the very first patch; entries 1 to M - 1 form the ring.
void AddPatch(const SeatPatch& patch, int ringLength) {
    patchRing[patchCursor] = patch;
    patchCursor = patchCursor % (ringLength - 1) + 1;
}

void SampleSeatPatches(int ringLength) {
    for (const SeatRegion& region : seatRegions) {
        for (int k = 0; k < region.count; ++k) {
            const float u = ThousandthFraction();
            const float v = ThousandthFraction();
            const ScenePoint at = QuadPoint(region.corners, u, v);
            AddPatch({region.size, at.x, at.y}, ringLength);
        }
    }
}

void DrawSeatPatches(int ringLength) {
    const int width = ImageWidth(FrameImage);
    const int height = ImageHeight(FrameImage);
    for (int k = 0; k < ringLength; ++k) {
        const SeatPatch& patch = patchRing[k];
        const int dx = patch.x - frameOrigin.x - 2;
        const int dy = patch.y - frameOrigin.y - 2;
        if (dx > 0 && dy > 0 && dx < width - 2 && dy < height - 2) {
            CopyImageRect(BackgroundImage, patch.x, patch.y, patch.size, patch.size, FrameImage, dx, dy);
        }
    }
}

}  // namespace

void ShuffleSeatedCrowd() {
    const int ringLength = sceneSettings.seatPatches;
    // The cursor takes a remainder by M - 1; set-up keeps M from 100 to 599.
    if (ringLength < 2 || ringLength > kMaxSeatPatches) return;
    SampleSeatPatches(ringLength);
    DrawSeatPatches(ringLength);
}
