// What each frame drew on, in tiles of the frame image: the next frame
// restores only those tiles, and hosts put on the screen only the tiles
// either frame drew on, merged into a few rectangles.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "image/compose.h"
#include "image/short_copy.h"
#include "scene/frame_tiles.h"
#include "scene/steps.h"

namespace {

int TileColumns(const Image* frame) { return (ImageWidth(frame) + kFrameTileWidth - 1) / kFrameTileWidth; }
int TileRows(const Image* frame) { return (ImageHeight(frame) + kFrameTileHeight - 1) / kFrameTileHeight; }

// Rectangles being built from tile rows, and those that reached the last
// row (in order of x), which a run of the next row with the same columns
// lengthens.
struct RectBuilder {
    Rect* rects;
    int count, max;
    int width, height;  // the frame's, looked up once
    int above[kFrameTileColumns], aboveCount, aboveNext;
    int here[kFrameTileColumns], hereCount;
    // The rectangle last made or lengthened by a run starting at tile
    // column x, for each column where one was (bit x of startsKnown).
    int startingAt[kFrameTileColumns];
    uint64_t startsKnown;
};

// A run of tile columns [x0, x1) at tile row `y`, in pixels cut to the frame.
Rect RunRect(const RectBuilder& b, int x0, int x1, int y) {
    return {x0 * kFrameTileWidth, y * kFrameTileHeight, std::min(b.width, x1 * kFrameTileWidth) - x0 * kFrameTileWidth,
            std::min(b.height, (y + 1) * kFrameTileHeight) - y * kFrameTileHeight};
}

void NoteRunRect(RectBuilder& b, int x0, int index) {
    b.here[b.hereCount++] = index;
    b.startingAt[x0] = index;
    b.startsKnown |= uint64_t{1} << x0;
}

// Lengthens rectangle `index` down by the run when it ends just above it
// with the same columns, and notes it as the run's. Inlined by force: as a
// call it made the column lookup a fifth slower (ChangedRects/ByColumn).
[[gnu::always_inline]] inline bool LengthenedBy(RectBuilder& b, int index, Rect run, int x0) {
    Rect& r = b.rects[index];
    if (r.x != run.x || r.width != run.width || r.y + r.height != run.y) return false;
    r.height += run.height;
    NoteRunRect(b, x0, index);
    return true;
}

// The run's rectangle, lengthening the one of the row above with the same
// columns, found by walking that row's rectangles in order: the way that
// stays right once rectangles have been joined (their columns changed).
void AddRun(RectBuilder& b, int x0, int x1, int y) {
    const Rect run = RunRect(b, x0, x1, y);
    while (b.aboveNext < b.aboveCount && b.rects[b.above[b.aboveNext]].x < run.x) ++b.aboveNext;
    if (b.aboveNext < b.aboveCount && LengthenedBy(b, b.above[b.aboveNext], run, x0)) return;
    if (b.count < b.max) {
        b.rects[b.count] = run;
        return NoteRunRect(b, x0, b.count++);
    }
    // No room: the rectangle that grows least takes the run in.
    int best = 0;
    int64_t bestGrowth = INT64_MAX;
    for (int i = 0; i < b.max; ++i) {
        const Rect u = Union(b.rects[i], run);
        const int64_t growth = int64_t{u.width} * u.height - int64_t{b.rects[i].width} * b.rects[i].height;
        if (growth < bestGrowth) best = i, bestGrowth = growth;
    }
    b.rects[best] = Union(b.rects[best], run);
}

// A row whose runs all find room: no rectangle has been joined yet, so the
// one above a run, if any, is the one last noted at its first column, and
// it is looked up there instead of walked to.
void AddRowByColumn(RectBuilder& b, uint64_t row, int y) {
    uint64_t starts = row & ~(row << 1), lasts = row & ~(row >> 1);
    for (; starts != 0; starts &= starts - 1, lasts &= lasts - 1) {
        const int x0 = std::countr_zero(starts);
        const Rect run = RunRect(b, x0, std::countr_zero(lasts) + 1, y);
        if (((b.startsKnown >> x0) & 1) && LengthenedBy(b, b.startingAt[x0], run, x0)) continue;
        b.rects[b.count] = run;
        NoteRunRect(b, x0, b.count++);
    }
}

}  // namespace

int RowRunRects(const uint64_t* rows, int rowCount, int width, int height, Rect* rects, int max, int byColumn) {
    if (max <= 0) return 0;
    RectBuilder builder;
    builder.rects = rects;
    builder.count = 0;
    builder.max = max;
    builder.width = width;
    builder.height = height;
    builder.aboveCount = 0;
    builder.startsKnown = 0;
    for (int y = 0; y < rowCount; ++y) {
        builder.hereCount = 0;
        builder.aboveNext = 0;
        const uint64_t row = rows[y];
        if (byColumn && builder.count + std::popcount(row & ~(row << 1)) <= max) {
            AddRowByColumn(builder, row, y);
        } else {
            for (TileRun run = FirstTileRun(row, 0); run.end > run.start; run = FirstTileRun(run.bits, 0)) {
                AddRun(builder, run.start, run.end, y);
            }
        }
        std::copy(builder.here, builder.here + builder.hereCount, builder.above);
        builder.aboveCount = builder.hereCount;
    }
    return builder.count;
}

namespace {

// The tiles marked in `a` or `b` (b may be null) as rectangles; runs of a
// row apart by no more than `gap` tiles are taken as one.
int TileRects(const Scene& scene, const uint64_t* a, const uint64_t* b, int gap, Rect* rects, int max) {
    const uint64_t columns = TileColumnBits(0, TileColumns(scene.frameImage) - 1);
    const int rowCount = TileRows(scene.frameImage);
    uint64_t rows[kFrameTileRows];
    for (int y = 0; y < rowCount; ++y) rows[y] = JoinTileGaps((a[y] | (b ? b[y] : 0)) & columns, gap);
    return RowRunRects(rows, rowCount, ImageWidth(scene.frameImage), ImageHeight(scene.frameImage), rects, max, 1);
}

constexpr int kMaxRestoreRects = 256;
// A copy of a few hundred bytes costs about what starting one more costs.
constexpr int kRestoreGap = 8;
// From the fixed image a run of tiles costs little to start: only marked
// tiles are copied.
constexpr int kTileRestoreGap = 0;
// Putting a rectangle on the screen has a cost of its own: gaps this narrow
// are put rather than split around.
constexpr int kChangedGap = 2;

// A rectangle of the fixed image back into the frame image (same size).
void CopyTileRect(const Image* source, Image* destination, Rect r) {
    const ptrdiff_t stride = ImageStride(source);
    const uint8_t* in = PixelAddress(source, r.x, r.y);
    uint8_t* out = PixelAddress(destination, r.x, r.y);
    for (int row = 0; row < r.height; ++row, in -= stride, out -= stride) CopyShort(out, in, r.width);
}

// Whole tiles, `blocks` of them side by side: each column of 16 bytes is
// copied down its eight rows, unrolled, so that no row has a loop of its own.
void CopyWholeTiles(const Image* source, Image* destination, int x, int y, int blocks) {
    const ptrdiff_t stride = ImageStride(source);
    const uint8_t* in = PixelAddress(source, x, y);
    uint8_t* out = PixelAddress(destination, x, y);
    for (int block = 0; block < blocks; ++block, in += 16, out += 16) {
        for (int row = 0; row < kFrameTileHeight; ++row) std::memcpy(out - row * stride, in - row * stride, 16);
    }
}

// The runs of the marked tiles, tile row by tile row, from the fixed image
// (the frame's size): joining rows into rectangles costs more than the calls
// it saves.
void RestoreMarkedTiles(Scene& scene, const uint64_t* marks) {
    const int width = ImageWidth(scene.frameImage), height = ImageHeight(scene.frameImage);
    const uint64_t columns = TileColumnBits(0, TileColumns(scene.frameImage) - 1);
    for (int ty = 0; ty < TileRows(scene.frameImage); ++ty) {
        const int y = ty * kFrameTileHeight, rows = std::min(height - y, kFrameTileHeight);
        for (TileRun run = FirstTileRun(marks[ty] & columns, kTileRestoreGap); run.end > run.start;
             run = FirstTileRun(run.bits, kTileRestoreGap)) {
            const int x = run.start * kFrameTileWidth, right = std::min(width, run.end * kFrameTileWidth);
            if (rows == kFrameTileHeight && right == run.end * kFrameTileWidth) {
                CopyWholeTiles(scene.fixedImage, scene.frameImage, x, y, run.end - run.start);
                continue;
            }
            CopyTileRect(scene.fixedImage, scene.frameImage, {x, y, right - x, rows});
        }
    }
}

}  // namespace

Rect WholeFrame(const Scene& scene) { return {0, 0, ImageWidth(scene.frameImage), ImageHeight(scene.frameImage)}; }

int FrameFitsTiles(const Scene& scene) {
    return scene.frameImage != nullptr && TileColumns(scene.frameImage) <= kFrameTileColumns &&
           TileRows(scene.frameImage) <= kFrameTileRows;
}

// Only the part of the frame rectangle inside the picture is copied; the rest
// lies outside the client area as well and is never seen. Pixels inside the
// picture that no frame drew on still hold the picture (and the fixed pieces,
// with a fixed image), so only the tiles the last frame drew on are copied
// back.
void RestoreFrame(Scene& scene) {
    const int fits = FrameFitsTiles(scene);
    uint64_t* last = scene.drawnTiles[(scene.tilesNow ^ 1) & 1];
    if (fits && scene.tilesKnown && scene.fixedImage != nullptr) return RestoreMarkedTiles(scene, last);
    // The fixed image is the frame's part of the picture, already cut to it.
    const Image* picture = scene.fixedImage != nullptr ? scene.fixedImage : scene.backgroundImage;
    const Point origin = scene.fixedImage != nullptr ? Point{0, 0} : scene.frameOrigin;
    Rect rects[kMaxRestoreRects];
    int count = 1;
    rects[0] = WholeFrame(scene);
    if (fits && scene.tilesKnown) {
        count = TileRects(scene, last, nullptr, kRestoreGap, rects, kMaxRestoreRects);
    } else if (fits) {
        // Everything counts as drawn on last time, so that the whole frame is reported changed.
        std::memset(last, 0xFF, sizeof scene.drawnTiles[0]);
    }
    scene.tilesKnown = fits;
    for (int i = 0; i < count; ++i) {
        const Rect r = rects[i];
        const int width = std::min(r.width, ImageWidth(picture) - origin.x - r.x);
        const int height = std::min(r.height, ImageHeight(picture) - origin.y - r.y);
        if (width <= 0 || height <= 0) continue;
        if (scene.fixedImage != nullptr) {
            CopyTileRect(scene.fixedImage, scene.frameImage, Rect{r.x, r.y, width, height});
            continue;
        }
        CopyImageRect(picture, Offset(Rect{r.x, r.y, width, height}, origin), scene.frameImage, TopLeft(r));
    }
}

// The current map becomes the previous one, and the one before starts
// again, empty, as the current.
void StartFrameTiles(Scene& scene) {
    scene.tilesNow = (scene.tilesNow ^ 1) & 1;
    std::memset(scene.drawnTiles[scene.tilesNow], 0, sizeof scene.drawnTiles[0]);
    const int fits = FrameFitsTiles(scene);
    scene.markWidth = fits ? ImageWidth(scene.frameImage) : 0;
    scene.markHeight = fits ? ImageHeight(scene.frameImage) : 0;
}

int FrameChangedRects(const Scene& scene, Rect* rects, int max) {
    if (scene.frameImage == nullptr || rects == nullptr || max <= 0) return 0;
    if (!FrameFitsTiles(scene) || !scene.tilesKnown) {
        rects[0] = WholeFrame(scene);
        return 1;
    }
    return TileRects(scene, scene.drawnTiles[0], scene.drawnTiles[1], kChangedGap, rects, max);
}

void InvalidateFrame(Scene& scene) { scene.tilesKnown = 0; }
