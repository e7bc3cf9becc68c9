// What each frame drew on, in tiles of the frame image: the next frame
// restores only those tiles, and hosts put on the screen only the tiles
// either frame drew on, merged into a few rectangles.
#include <algorithm>
#include <cstring>

#include "image/compose.h"
#include "scene/steps.h"

namespace {

int TileColumns(const Image* frame) { return (ImageWidth(frame) + kFrameTileWidth - 1) / kFrameTileWidth; }
int TileRows(const Image* frame) { return (ImageHeight(frame) + kFrameTileHeight - 1) / kFrameTileHeight; }

int FrameFitsTiles(const Scene& scene) {
    return scene.frameImage != nullptr && TileColumns(scene.frameImage) <= kFrameTileColumns &&
           TileRows(scene.frameImage) <= kFrameTileRows;
}

SceneRect WholeFrame(const Scene& scene) {
    return {0, 0, ImageWidth(scene.frameImage), ImageHeight(scene.frameImage)};
}

// Adds a tile row's run of columns [x0, x1) at tile row `y`: it lengthens a
// rectangle of the row above with the same columns, or starts one; with no
// room left it widens the last rectangle to take it in. Pixels, cut to the frame.
void AddRun(const Scene& scene, int x0, int x1, int y, SceneRect* rects, int* count, int max, int rowAbove) {
    const int width = ImageWidth(scene.frameImage), height = ImageHeight(scene.frameImage);
    const int left = x0 * kFrameTileWidth, right = std::min(width, x1 * kFrameTileWidth);
    const int top = y * kFrameTileHeight, bottom = std::min(height, top + kFrameTileHeight);
    for (int i = rowAbove; i < *count; ++i) {
        SceneRect& r = rects[i];
        if (r.x == left && r.width == right - left && r.y + r.height == top) {
            r.height = bottom - r.y;
            return;
        }
    }
    if (*count < max) {
        rects[(*count)++] = {left, top, right - left, bottom - top};
        return;
    }
    SceneRect& last = rects[max - 1];
    const int lastRight = std::max(last.x + last.width, right), lastBottom = std::max(last.y + last.height, bottom);
    last.x = std::min(last.x, left);
    last.y = std::min(last.y, top);
    last.width = lastRight - last.x;
    last.height = lastBottom - last.y;
}

// The tiles marked in `a` or `b` (b may be null) as rectangles.
int TileRects(const Scene& scene, const uint8_t* a, const uint8_t* b, SceneRect* rects, int max) {
    if (max <= 0) return 0;
    const int columns = TileColumns(scene.frameImage), rows = TileRows(scene.frameImage);
    int count = 0, rowAbove = 0;
    for (int y = 0; y < rows; ++y) {
        const int rowStart = count;
        const uint8_t* rowA = a + y * kFrameTileColumns;
        const uint8_t* rowB = b ? b + y * kFrameTileColumns : nullptr;
        for (int x = 0; x < columns;) {
            if (!rowA[x] && !(rowB && rowB[x])) {
                ++x;
                continue;
            }
            const int first = x;
            while (x < columns && (rowA[x] || (rowB && rowB[x]))) ++x;
            AddRun(scene, first, x, y, rects, &count, max, rowAbove);
        }
        // Only rectangles that reached the row above may grow into the next.
        rowAbove = rowStart;
    }
    return count;
}

constexpr int kMaxRestoreRects = 256;

}  // namespace

void MarkFrameDrawn(Scene& scene, int x, int y, int width, int height) {
    if (!FrameFitsTiles(scene)) return;
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = std::min<int64_t>(int64_t{x} + width, ImageWidth(scene.frameImage));
    const int bottom = std::min<int64_t>(int64_t{y} + height, ImageHeight(scene.frameImage));
    if (left >= right || top >= bottom) return;
    uint8_t* map = scene.drawnTiles[scene.tilesNow & 1];
    for (int ty = top / kFrameTileHeight; ty <= (bottom - 1) / kFrameTileHeight; ++ty) {
        uint8_t* row = map + ty * kFrameTileColumns;
        std::memset(row + left / kFrameTileWidth, 1, size_t((right - 1) / kFrameTileWidth - left / kFrameTileWidth + 1));
    }
}

// Only the part of the frame rectangle inside the picture is copied; the rest
// lies outside the client area as well and is never seen. Pixels inside the
// picture that no frame drew on still hold the picture, so only the tiles the
// last frame drew on are copied back.
void RestoreFrame(Scene& scene) {
    const Image* picture = scene.backgroundImage;
    const ScenePoint origin = scene.frameOrigin;
    const int fits = FrameFitsTiles(scene);
    SceneRect rects[kMaxRestoreRects];
    int count = 1;
    rects[0] = WholeFrame(scene);
    if (fits && scene.tilesKnown) {
        count = TileRects(scene, scene.drawnTiles[(scene.tilesNow ^ 1) & 1], nullptr, rects, kMaxRestoreRects);
    } else if (fits) {
        // Everything counts as drawn on last time, so that the whole frame is reported changed.
        std::memset(scene.drawnTiles[(scene.tilesNow ^ 1) & 1], 1, sizeof scene.drawnTiles[0]);
    }
    scene.tilesKnown = fits;
    for (int i = 0; i < count; ++i) {
        const SceneRect r = rects[i];
        const int width = std::min(r.width, ImageWidth(picture) - origin.x - r.x);
        const int height = std::min(r.height, ImageHeight(picture) - origin.y - r.y);
        if (width <= 0 || height <= 0) continue;
        CopyImageRect(picture, origin.x + r.x, origin.y + r.y, width, height, scene.frameImage, r.x, r.y);
    }
}

// The current map becomes the previous one, and the one before starts
// again, empty, as the current.
void StartFrameTiles(Scene& scene) {
    scene.tilesNow = (scene.tilesNow ^ 1) & 1;
    std::memset(scene.drawnTiles[scene.tilesNow], 0, sizeof scene.drawnTiles[0]);
}

int FrameChangedRects(const Scene& scene, SceneRect* rects, int max) {
    if (scene.frameImage == nullptr || rects == nullptr || max <= 0) return 0;
    if (!FrameFitsTiles(scene) || !scene.tilesKnown) {
        rects[0] = WholeFrame(scene);
        return 1;
    }
    return TileRects(scene, scene.drawnTiles[0], scene.drawnTiles[1], rects, max);
}

void InvalidateFrame(Scene& scene) { scene.tilesKnown = 0; }
