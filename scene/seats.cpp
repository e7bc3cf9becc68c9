// The seated crowd's stir: a ring of small squares of the picture, redrawn two
// pixels up and to the left of where they belong, renewed 47 at a tick.
#include <cstddef>

#include "image/compose.h"
#include "scene/steps.h"

namespace {

float ThousandthFraction(Scene& scene) { return static_cast<float>(SceneRandom(scene) % 1000) / 1000.0f; }

// Entry 0 keeps the very first patch; entries 1 to M - 1 form the ring.
void AddPatch(Scene& scene, const SeatPatch& patch, int ringLength) {
    scene.patchRing[scene.patchCursor] = patch;
    scene.patchCursor = scene.patchCursor % (ringLength - 1) + 1;
}

void SampleSeatPatches(Scene& scene, int ringLength) {
    for (const SeatRegion& region : scene.seatRegions) {
        for (int k = 0; k < region.count; ++k) {
            const float u = ThousandthFraction(scene);
            const float v = ThousandthFraction(scene);
            const ScenePoint at = QuadPoint(region.corners, u, v);
            AddPatch(scene, {region.size, at.x, at.y}, ringLength);
        }
    }
}

// An image as the patch copy walks it: rows are stored bottom-up, so pixel
// (x, y) is topRow[x - y * stride].
struct PatchRows {
    uint8_t* topRow;
    int stride, width, height;
};

PatchRows RowsOf(const Image* image) {
    const int height = ImageHeight(image);
    return {ImagePixels(image) + static_cast<ptrdiff_t>(height - 1) * ImageStride(image), ImageStride(image),
            ImageWidth(image), height};
}

// Most patches are one to three pixels square and wholly inside both images:
// those are copied byte by byte here, the rest by the clipping copy.
void CopyPatch(Scene& scene, const SeatPatch& patch, const PatchRows& from, const PatchRows& to, int dx, int dy) {
    const int size = patch.size;
    const bool inside = size > 0 && size <= 3 && patch.x >= 0 && patch.y >= 0 && patch.x + size <= from.width &&
                        patch.y + size <= from.height && dx + size <= to.width && dy + size <= to.height;
    if (!inside) return CopyImageRect(scene.backgroundImage, patch.x, patch.y, size, size, scene.frameImage, dx, dy);
    for (int row = 0; row < size; ++row) {
        const uint8_t* in = from.topRow - static_cast<ptrdiff_t>(patch.y + row) * from.stride + patch.x;
        uint8_t* out = to.topRow - static_cast<ptrdiff_t>(dy + row) * to.stride + dx;
        for (int column = 0; column < size; ++column) out[column] = in[column];
    }
}

void DrawSeatPatches(Scene& scene, int ringLength) {
    const PatchRows from = RowsOf(scene.backgroundImage);
    const PatchRows to = RowsOf(scene.frameImage);
    for (int k = 0; k < ringLength; ++k) {
        const SeatPatch& patch = scene.patchRing[k];
        const int dx = patch.x - scene.frameOrigin.x - 2;
        const int dy = patch.y - scene.frameOrigin.y - 2;
        if (dx > 0 && dy > 0 && dx < to.width - 2 && dy < to.height - 2) {
            CopyPatch(scene, patch, from, to, dx, dy);
            MarkFrameDrawn(scene, dx, dy, patch.size, patch.size);
        }
    }
}

}  // namespace

void ShuffleSeatedCrowd(Scene& scene) {
    const int ringLength = scene.settings.seatPatches;
    // The cursor takes a remainder by M - 1; set-up keeps M from 100 to 599.
    if (ringLength < 2 || ringLength > kMaxSeatPatches) return;
    SampleSeatPatches(scene, ringLength);
    DrawSeatPatches(scene, ringLength);
}
