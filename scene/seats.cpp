// The seated crowd's stir: a ring of small squares of the picture, redrawn two
// pixels up and to the left of where they belong, renewed 47 at a tick.
#include <cstddef>
#include <cstring>

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
            const Point at = QuadPoint(region.corners, u, v);
            AddPatch(scene, {region.size, at.x, at.y}, ringLength);
        }
    }
}

template <int Size>
void CopySquare(const uint8_t* in, ptrdiff_t inStride, uint8_t* out, ptrdiff_t outStride) {
    for (int row = 0; row < Size; ++row) std::memcpy(out - row * outStride, in - row * inStride, Size);
}

// Every patch of a frame copies from the same picture into the same frame.
// `quick` says that a patch of one to three pixels drawn inside the frame
// lies within the picture too and has marks that need no clipping.
struct PatchCopy {
    ImageRows from, to;
    Point origin;
    uint64_t* marks;
    bool quick;
};

PatchCopy StartPatchCopy(Scene& scene) {
    const ImageRows from = RowsOf(scene.backgroundImage), to = RowsOf(scene.frameImage);
    const Point origin = scene.frameOrigin;
    // A patch drawn at dx in (0, width - 2) takes columns from origin.x + 3
    // to origin.x + width + 2 of the picture; rows likewise.
    const bool quick = scene.markWidth == to.width && scene.markHeight == to.height && origin.x >= -3 &&
                       origin.y >= -3 && int64_t{origin.x} + to.width + 2 <= from.width &&
                       int64_t{origin.y} + to.height + 2 <= from.height;
    return {from, to, origin, CurrentTileMarks(scene), quick};
}

// Patches are one to three pixels square: those are copied with their size a
// constant where the frame allows, any other by the clipping copy.
void DrawPatch(Scene& scene, const SeatPatch& patch, const PatchCopy& copy, int dx, int dy) {
    const int size = patch.size;
    if (!copy.quick || size < 1 || size > 3) {
        CopyImageRect(scene.backgroundImage, {patch.x, patch.y, size, size}, scene.frameImage, {dx, dy});
        return MarkFrameDrawn(scene, dx, dy, size, size);
    }
    const uint8_t* in = RowsPixel(copy.from, patch.x, patch.y);
    uint8_t* out = RowsPixel(copy.to, dx, dy);
    switch (size) {
    case 1:
        *out = *in;
        break;
    case 2:
        CopySquare<2>(in, copy.from.stride, out, copy.to.stride);
        break;
    default:
        CopySquare<3>(in, copy.from.stride, out, copy.to.stride);
        break;
    }
    MarkSquareInFrame(copy.marks, dx, dy, size);
}

void DrawSeatPatches(Scene& scene, int ringLength) {
    const PatchCopy copy = StartPatchCopy(scene);
    const int right = copy.to.width - 2, bottom = copy.to.height - 2;
    for (int k = 0; k < ringLength; ++k) {
        const SeatPatch& patch = scene.patchRing[k];
        const int dx = patch.x - copy.origin.x - 2;
        const int dy = patch.y - copy.origin.y - 2;
        if (dx > 0 && dy > 0 && dx < right && dy < bottom) DrawPatch(scene, patch, copy, dx, dy);
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
