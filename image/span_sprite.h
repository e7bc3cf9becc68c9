// A sprite drawn with the transparent colour (0), turned once into runs of
// opaque pixels per row, so that drawing copies runs and never tests a pixel.
//
// Terms. A run is a stretch of opaque pixels of one sprite row; the cell,
// the sprite's rectangle padded to whole blocks of 16 bytes, 0 where
// transparent. A row of many runs is blended whole instead: its blocks of
// the cell are merged over the destination 16 bytes at a time. The planned
// stride is the destination's row length the rows' offsets were worked out
// for.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/image.h"
#include "image/rect.h"

struct SpanRun {
    int32_t x;       // first column of the run in the sprite
    int32_t length;  // opaque pixels
    int32_t offset;  // of its first pixel in `opaque`
};

// A row broken into many runs is blended whole (from its first opaque pixel
// to its last) from `cell` instead: short runs cost more than the blend.
constexpr int kMostRunsCopied = 1;

struct SpanRow {
    int32_t firstRun, runCount;
    int32_t left, right;  // the opaque pixels lie in [left, right)
};

// A row of the whole-row blend: from column x of sprite row `row`, the
// fewest blocks of 16 that hold the row's opaque pixels within `cell`.
struct BlendRow {
    int32_t row, x;
    ptrdiff_t offset;  // of that column in destinations of plannedStride bytes a row: x - row x stride
};

struct SpanSprite {
    int width, height;  // the sprite's rectangle, transparent columns and rows included
    SpanRow* rows;      // height entries
    SpanRun* runs;
    uint8_t* opaque;  // the opaque pixels, run after run (a copy: the sheet may go)
    uint8_t* cell;    // the rectangle, top row first, 0 where transparent
    int cellStride;   // bytes a row of `cell`: the width rounded up to whole blocks of 16, padded with 0
    // The rows with an opaque pixel: those one block wide, then two, then
    // three, then wider (blended whole); blendCounts holds the four counts.
    // blendPixels holds their blocks from `cell`, one row after another.
    BlendRow* blendRows;
    int32_t blendCounts[4];
    uint8_t* blendPixels;
    ptrdiff_t plannedStride;  // 0 until PlanSpanSpriteStride
};

// The runs of the rectangle `piece` of `sheet`; the part of the rectangle
// outside the sheet counts as transparent, as a clipped transparent blit
// leaves it. Null when memory runs out or a side is not positive or too large.
SpanSprite* EncodeSpanSprite(const Image* sheet, Rect piece);
void DestroySpanSprite(SpanSprite* sprite);
// Works out where the rows go in destinations of `stride` bytes a row, so
// that drawing into those takes no multiply a row. Any other stride still draws.
void PlanSpanSpriteStride(SpanSprite* sprite, ptrdiff_t stride);

// Draws the sprite with its top-left corner at `at` of `destination`,
// clipped to it: the same pixels as BlitTransparent of the encoded rectangle.
void DrawSpanSprite(const SpanSprite* sprite, Image* destination, Point at);

// Destination columns [left, right) and rows [top, bottom) (rows counted
// from the top).
struct SpanClip {
    int left, top, right, bottom;
};
// The same, drawing only the pixels inside `clip` as well.
void DrawSpanSpriteWithin(const SpanSprite* sprite, Image* destination, Point at, SpanClip clip);
