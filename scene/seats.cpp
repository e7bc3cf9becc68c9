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

template <int Size>
void CopySquare(const uint8_t* in, ptrdiff_t inStride, uint8_t* out, ptrdiff_t outStride) {
    for (int row = 0; row < Size; ++row) std::memcpy(out - row * outStride, in - row * inStride, Size);
}

// A patch of one to three pixels whose destination (dx, dy), at least one
// pixel in from the frame's edges, lies wholly in the frame: its tile marks
// need no clipping and it touches at most two tile rows.
void MarkSmallPatch(Scene& scene, int dx, int dy, int size) {
    uint64_t* map = scene.drawnTiles[scene.tilesNow & 1];
    const uint64_t columns = TileColumnBits(dx / kFrameTileWidth, (dx + size - 1) / kFrameTileWidth);
    map[dy / kFrameTileHeight] |= columns;
    map[(dy + size - 1) / kFrameTileHeight] |= columns;
}

// Most patches are one to three pixels square and wholly inside both images:
// those are copied a row at a time with their size a constant, the rest by
// the clipping copy.
void DrawPatch(Scene& scene, const SeatPatch& patch, const PatchRows& from, const PatchRows& to, int dx, int dy) {
    const int size = patch.size;
    const bool small = size > 0 && size <= 3 && scene.markWidth == to.width && scene.markHeight == to.height;
    const bool inside = small && patch.x >= 0 && patch.y >= 0 && patch.x + size <= from.width &&
                        patch.y + size <= from.height;
    if (!inside) {
        CopyImageRect(scene.backgroundImage, patch.x, patch.y, size, size, scene.frameImage, dx, dy);
        return MarkFrameDrawn(scene, dx, dy, size, size);
    }
    const uint8_t* in = from.topRow - static_cast<ptrdiff_t>(patch.y) * from.stride + patch.x;
    uint8_t* out = to.topRow - static_cast<ptrdiff_t>(dy) * to.stride + dx;
    if (size == 1) *out = *in;
    if (size == 2) CopySquare<2>(in, from.stride, out, to.stride);
    if (size == 3) CopySquare<3>(in, from.stride, out, to.stride);
    MarkSmallPatch(scene, dx, dy, size);
}

void DrawSeatPatches(Scene& scene, int ringLength) {
    const PatchRows from = RowsOf(scene.backgroundImage);
    const PatchRows to = RowsOf(scene.frameImage);
    for (int k = 0; k < ringLength; ++k) {
        const SeatPatch& patch = scene.patchRing[k];
        const int dx = patch.x - scene.frameOrigin.x - 2;
        const int dy = patch.y - scene.frameOrigin.y - 2;
        if (dx > 0 && dy > 0 && dx < to.width - 2 && dy < to.height - 2) DrawPatch(scene, patch, from, to, dx, dy);
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
