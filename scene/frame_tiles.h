// Runs of marked tiles in one row of the tile map (a 64-bit word, bit x for
// tile column x), shared by the restore, the changed rectangles and the
// fixed pieces.
//
// Terms. A tile is a 16 x 8 block of the frame image; a frame marks the tiles
// it draws on, in the current of two maps, and the next frame restores the
// tiles either map marks. A tile run is a stretch of marked tiles in one
// tile row, joined across gaps of up to `gap` unmarked tiles.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>

#include "scene/scene.h"

// Bits first to last (0 <= first <= last < 64).
inline uint64_t TileColumnBits(int first, int last) { return (~uint64_t{0} >> (63 - (last - first))) << first; }

// Tile columns [start, end) of a row's `bits`; empty (end == start) when no
// marked tile is left.
struct TileRun {
    uint64_t bits;  // the row's marks from `end` on
    int start, end;
};

// The run beginning at the lowest bit set in `bits`: it ends at the first
// clear bit that is followed by more than `gap` clear bits (or by none set).
// The next run is FirstTileRun(run.bits, gap).
inline TileRun FirstTileRun(uint64_t bits, int gap) {
    if (bits == 0) return {0, 0, 0};
    const int start = std::countr_zero(bits);
    int end = start;
    for (;;) {
        end += std::countr_one(bits >> end);
        const uint64_t rest = end < 64 ? bits >> end : 0;
        if (rest == 0 || std::countr_zero(rest) > gap) break;
        end += std::countr_zero(rest);
    }
    return {end < 64 ? (bits >> end) << end : 0, start, end};
}

// `bits` with every stretch of at most `gap` clear bits between two set
// ones set as well, so that its runs with no gap are FirstTileRun(bits,
// gap)'s, found without a loop a run: a clear bit p is set when some set
// bit lies i below it and another j above it, with i + j <= gap + 1.
inline uint64_t JoinTileGaps(uint64_t bits, int gap) {
    uint64_t above = 0, joined = bits;
    for (int i = gap; i >= 1; --i) {
        above |= bits >> (gap + 1 - i);
        joined |= (bits << i) & above;
    }
    return joined;
}

// Rows of tile marks, each made of runs with no gap, as at most `max`
// rectangles of a frame `width` x `height` pixels: a run lengthens the
// rectangle of the row above with the same columns; once `max` are made,
// the rectangle that grows least takes a run in. `byColumn` 0 walks the row
// above's rectangles for every run, the plain way the quick lookup must
// agree with. The number of rectangles made.
int RowRunRects(const uint64_t* rows, int rowCount, int width, int height, Rect* rects, int max, int byColumn);

// The current frame's map.
inline uint64_t* CurrentTileMarks(Scene& scene) { return scene.drawnTiles[scene.tilesNow & 1]; }

// Notes that this frame drew on the rectangle (frame image coordinates,
// clipped here) so that the next one restores it. Inline: every figure, dot
// and patch marks.
inline void MarkFrameDrawn(Scene& scene, int x, int y, int width, int height) {
    const int left = std::max(x, 0), top = std::max(y, 0);
    const int right = int(std::min<int64_t>(int64_t{x} + width, scene.markWidth));
    const int bottom = int(std::min<int64_t>(int64_t{y} + height, scene.markHeight));
    if (left >= right || top >= bottom) return;
    uint64_t* map = CurrentTileMarks(scene);
    const uint64_t columns = TileColumnBits(left / kFrameTileWidth, (right - 1) / kFrameTileWidth);
    for (int ty = top / kFrameTileHeight; ty <= (bottom - 1) / kFrameTileHeight; ++ty) map[ty] |= columns;
}

// The same for a square of one to eight pixels lying wholly in a frame that
// fits the map: it touches at most two tile rows and needs no clipping.
inline void MarkSquareInFrame(uint64_t* map, int x, int y, int size) {
    const uint64_t columns = TileColumnBits(x / kFrameTileWidth, (x + size - 1) / kFrameTileWidth);
    map[y / kFrameTileHeight] |= columns;
    map[(y + size - 1) / kFrameTileHeight] |= columns;
}
