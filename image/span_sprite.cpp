// Encoding a transparent sprite into runs, and drawing the runs clipped.
#include "image/span_sprite.h"

#include "image/short_copy.h"
#include "image/transparent_row.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace {

int InsideSheet(const Image* sheet, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < ImageWidth(sheet) && y < ImageHeight(sheet);
}

uint8_t SheetPixel(const Image* sheet, int64_t x, int64_t y) {
    return InsideSheet(sheet, x, y) ? *PixelAddress(sheet, int(x), int(y)) : 0;
}

// Two passes over the rectangle: one counts the runs and opaque pixels, the
// other, with `sprite` given, fills them in.
void WalkRuns(const Image* sheet, Rect piece, SpanSprite* sprite, int64_t* runCount, int64_t* opaqueCount) {
    int64_t runs = 0, opaque = 0;
    for (int r = 0; r < piece.height; ++r) {
        SpanRow row{int32_t(runs), 0, piece.width, 0};
        bool inRun = false;
        for (int x = 0; x < piece.width; ++x) {
            const uint8_t pixel = SheetPixel(sheet, int64_t{piece.x} + x, int64_t{piece.y} + r);
            if (sprite) sprite->cell[size_t(r) * size_t(sprite->cellStride) + size_t(x)] = pixel;
            if (pixel == 0) {
                inRun = false;
                continue;
            }
            if (!inRun && sprite) sprite->runs[runs] = SpanRun{x, 0, int32_t(opaque)};
            if (!inRun) ++runs, ++row.runCount;
            inRun = true;
            row.left = std::min(row.left, x);
            row.right = x + 1;
            if (sprite) {
                ++sprite->runs[runs - 1].length;
                sprite->opaque[opaque] = pixel;
            }
            ++opaque;
        }
        if (sprite) sprite->rows[r] = row;
    }
    *runCount = runs;
    *opaqueCount = opaque;
}

void DrawRuns(const SpanSprite* sprite, const SpanRow& row, uint8_t* out, int64_t left, int64_t right) {
    const SpanRun* run = sprite->runs + row.firstRun;
    const SpanRun* end = run + row.runCount;
    for (; run < end; ++run) {
        const int64_t from = std::max<int64_t>(run->x, left);
        const int64_t to = std::min<int64_t>(int64_t{run->x} + run->length, right);
        if (from < to) CopyShort(out + from, sprite->opaque + run->offset + (from - run->x), int(to - from));
    }
}

// The blocks a row needs, capped at the group of the wider rows.
int BlendGroup(const SpanRow& row) { return std::min((row.right - row.left + 15) / 16, 4); }

// The rows grouped by the blocks they need. A row's blocks start at its
// first opaque pixel, or earlier when that would run past the padded row.
void PlanBlendRows(SpanSprite* sprite) {
    int n = 0;
    uint8_t* pixels = sprite->blendPixels;
    for (int group = 1; group <= 4; ++group) {
        const int start = n;
        const int bytes = group < 4 ? 16 * group : sprite->cellStride;
        for (int r = 0; r < sprite->height; ++r) {
            const SpanRow& row = sprite->rows[r];
            if (row.runCount == 0 || BlendGroup(row) != group) continue;
            const int x = group < 4 ? std::min(row.left, sprite->cellStride - bytes) : 0;
            sprite->blendRows[n++] = BlendRow{r, x, 0};
            std::memcpy(pixels, sprite->cell + size_t(r) * size_t(sprite->cellStride) + size_t(x), size_t(bytes));
            pixels += bytes;
        }
        sprite->blendCounts[group - 1] = n - start;
    }
}

// Blocks is the rows' width in blocks, or 0 for the whole padded row.
template <int Blocks, bool Planned>
const BlendRow* BlendRowsOfBlocks(const SpanSprite* sprite, const BlendRow* row, const uint8_t** pixels, int count,
                                  uint8_t* out, ptrdiff_t stride) {
    const int bytes = Blocks > 0 ? Blocks * 16 : sprite->cellStride;
    const uint8_t* in = *pixels;
    for (const BlendRow* end = row + count; row < end; ++row, in += bytes) {
        uint8_t* to = Planned ? out + row->offset : out - row->row * stride + row->x;
        for (int k = 0; k < bytes; k += 16) {
            Pixels16 source, destination;
            std::memcpy(&source, in + k, 16);
            std::memcpy(&destination, to + k, 16);
            destination = BlendBlock(source, destination);
            std::memcpy(to + k, &destination, 16);
        }
    }
    *pixels = in;
    return row;
}

template <bool Planned>
void BlendRowGroups(const SpanSprite* sprite, uint8_t* out, ptrdiff_t stride) {
    const BlendRow* row = sprite->blendRows;
    const uint8_t* pixels = sprite->blendPixels;
    row = BlendRowsOfBlocks<1, Planned>(sprite, row, &pixels, sprite->blendCounts[0], out, stride);
    row = BlendRowsOfBlocks<2, Planned>(sprite, row, &pixels, sprite->blendCounts[1], out, stride);
    row = BlendRowsOfBlocks<3, Planned>(sprite, row, &pixels, sprite->blendCounts[2], out, stride);
    BlendRowsOfBlocks<0, Planned>(sprite, row, &pixels, sprite->blendCounts[3], out, stride);
}

// A sprite whose padded rows lie wholly inside the destination is blended a
// block of 16 at a time, padding and transparent pixels included: a 0 leaves
// the destination's byte as it was, so the result is exact, and no row takes
// a branch of its own (the branches of run-by-run drawing mispredict). Rows
// go in groups of the same width, so that each group's loop is unrolled
// across the row; the order of rows does not matter, as no two overlap.
void BlendWholeRows(const SpanSprite* sprite, uint8_t* out, ptrdiff_t stride) {
    if (stride == sprite->plannedStride) return BlendRowGroups<true>(sprite, out, stride);
    BlendRowGroups<false>(sprite, out, stride);
}

}  // namespace

SpanSprite* EncodeSpanSprite(const Image* sheet, Rect piece) {
    const int width = piece.width, height = piece.height;
    if (!sheet || !sheet->header || !sheet->pixels || !ImageSizeIsSane(width, height)) return nullptr;
    int64_t runs = 0, opaque = 0;
    WalkRuns(sheet, piece, nullptr, &runs, &opaque);
    SpanSprite* sprite = static_cast<SpanSprite*>(calloc(1, sizeof(SpanSprite)));
    if (!sprite) return nullptr;
    sprite->width = width;
    sprite->height = height;
    sprite->rows = static_cast<SpanRow*>(malloc(size_t(height) * sizeof(SpanRow)));
    sprite->runs = static_cast<SpanRun*>(malloc(size_t(std::max<int64_t>(1, runs)) * sizeof(SpanRun)));
    sprite->opaque = static_cast<uint8_t*>(malloc(size_t(std::max<int64_t>(1, opaque))));
    sprite->cellStride = (width + 15) / 16 * 16;
    sprite->cell = static_cast<uint8_t*>(calloc(size_t(sprite->cellStride), size_t(height)));
    sprite->blendRows = static_cast<BlendRow*>(malloc(size_t(height) * sizeof(BlendRow)));
    sprite->blendPixels = static_cast<uint8_t*>(malloc(size_t(sprite->cellStride) * size_t(height)));
    if (!sprite->rows || !sprite->runs || !sprite->opaque || !sprite->cell || !sprite->blendRows ||
        !sprite->blendPixels) {
        DestroySpanSprite(sprite);
        return nullptr;
    }
    WalkRuns(sheet, piece, sprite, &runs, &opaque);
    PlanBlendRows(sprite);
    return sprite;
}

void DestroySpanSprite(SpanSprite* sprite) {
    if (!sprite) return;
    free(sprite->rows);
    free(sprite->cell);
    free(sprite->runs);
    free(sprite->opaque);
    free(sprite->blendRows);
    free(sprite->blendPixels);
    free(sprite);
}

void PlanSpanSpriteStride(SpanSprite* sprite, ptrdiff_t stride) {
    if (!sprite || stride <= 0) return;
    const int rows = sprite->blendCounts[0] + sprite->blendCounts[1] + sprite->blendCounts[2] + sprite->blendCounts[3];
    for (int i = 0; i < rows; ++i) {
        BlendRow& row = sprite->blendRows[i];
        row.offset = row.x - ptrdiff_t{row.row} * stride;
    }
    sprite->plannedStride = stride;
}

void DrawSpanSprite(const SpanSprite* sprite, Image* destination, Point at) {
    DrawSpanSpriteWithin(sprite, destination, at, {0, 0, kMaxImageSide, kMaxImageSide});
}

void DrawSpanSpriteWithin(const SpanSprite* sprite, Image* destination, Point at, SpanClip clip) {
    if (!sprite || !destination || !destination->header || !destination->pixels) return;
    const int dx = at.x, dy = at.y;
    // The sprite's rows and columns that land inside the destination and the clip.
    const int64_t clipTop = std::max(0, clip.top), clipLeft = std::max(0, clip.left);
    const int64_t clipBottom = std::min(ImageHeight(destination), clip.bottom);
    const int64_t clipRight = std::min(ImageWidth(destination), clip.right);
    if (dx >= clipLeft && dy >= clipTop && int64_t{dx} + sprite->width <= clipRight &&
        int64_t{dy} + sprite->height <= clipBottom && int64_t{dx} + sprite->cellStride <= ImageWidth(destination)) {
        return BlendWholeRows(sprite, PixelAddress(destination, dx, dy), ImageStride(destination));
    }
    const int64_t top = std::max<int64_t>(0, clipTop - dy);
    const int64_t bottom = std::min<int64_t>(sprite->height, clipBottom - dy);
    const int64_t left = std::max<int64_t>(0, clipLeft - dx);
    const int64_t right = std::min<int64_t>(sprite->width, clipRight - dx);
    if (top >= bottom || left >= right) return;
    // Rows are stored bottom-up: each sprite row down is a stride lower.
    const ptrdiff_t stride = ImageStride(destination);
    uint8_t* first = PixelAddress(destination, 0, int(dy + top));
    for (int64_t r = top; r < bottom; ++r) {
        // Column 0 of the sprite is column dx of the destination row.
        uint8_t* out = first - (r - top) * stride + dx;
        const SpanRow& row = sprite->rows[r];
        if (row.runCount <= kMostRunsCopied) {
            DrawRuns(sprite, row, out, left, right);
            continue;
        }
        const int64_t from = std::max<int64_t>(row.left, left), to = std::min<int64_t>(row.right, right);
        if (from < to) BlitRowTransparent(sprite->cell + r * sprite->cellStride + from, out + from, int(to - from));
    }
}
