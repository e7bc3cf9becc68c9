// Encoding a transparent sprite into runs, and drawing the runs clipped.
#include "image/span_sprite.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

int InsideSheet(const Image* sheet, int64_t x, int64_t y) {
    return x >= 0 && y >= 0 && x < ImageWidth(sheet) && y < ImageHeight(sheet);
}

// Walkers' runs are a few pixels long: a byte loop beats a call to memcpy.
inline void CopyRun(uint8_t* out, const uint8_t* in, int length) {
    if (length > 16) {
        std::memcpy(out, in, size_t(length));
        return;
    }
    for (int i = 0; i < length; ++i) out[i] = in[i];
}

// Two passes over the rectangle: one counts the runs and opaque pixels, the
// other, with `sprite` given, fills them in.
void WalkRuns(const Image* sheet, int sx, int sy, int width, int height, SpanSprite* sprite, int64_t* runCount,
              int64_t* opaqueCount) {
    int64_t runs = 0, opaque = 0;
    for (int r = 0; r < height; ++r) {
        if (sprite) sprite->rowFirst[r] = int32_t(runs);
        bool inRun = false;
        for (int x = 0; x < width; ++x) {
            const int64_t px = int64_t{sx} + x, py = int64_t{sy} + r;
            const uint8_t pixel = InsideSheet(sheet, px, py) ? *PixelAddress(sheet, int(px), int(py)) : 0;
            if (pixel == 0) {
                inRun = false;
                continue;
            }
            if (!inRun && sprite) sprite->runs[runs] = SpanRun{x, 0, int32_t(opaque)};
            if (!inRun) ++runs;
            inRun = true;
            if (sprite) {
                ++sprite->runs[runs - 1].length;
                sprite->opaque[opaque] = pixel;
            }
            ++opaque;
        }
    }
    if (sprite) sprite->rowFirst[height] = int32_t(runs);
    *runCount = runs;
    *opaqueCount = opaque;
}

}  // namespace

SpanSprite* EncodeSpanSprite(const Image* sheet, int sx, int sy, int width, int height) {
    if (!sheet || !sheet->header || !sheet->pixels || !ImageSizeIsSane(width, height)) return nullptr;
    int64_t runs = 0, opaque = 0;
    WalkRuns(sheet, sx, sy, width, height, nullptr, &runs, &opaque);
    SpanSprite* sprite = static_cast<SpanSprite*>(calloc(1, sizeof(SpanSprite)));
    if (!sprite) return nullptr;
    sprite->width = width;
    sprite->height = height;
    sprite->rowFirst = static_cast<int32_t*>(malloc((size_t(height) + 1) * sizeof(int32_t)));
    sprite->runs = static_cast<SpanRun*>(malloc(size_t(std::max<int64_t>(1, runs)) * sizeof(SpanRun)));
    sprite->opaque = static_cast<uint8_t*>(malloc(size_t(std::max<int64_t>(1, opaque))));
    if (!sprite->rowFirst || !sprite->runs || !sprite->opaque) {
        DestroySpanSprite(sprite);
        return nullptr;
    }
    WalkRuns(sheet, sx, sy, width, height, sprite, &runs, &opaque);
    return sprite;
}

void DestroySpanSprite(SpanSprite* sprite) {
    if (!sprite) return;
    free(sprite->rowFirst);
    free(sprite->runs);
    free(sprite->opaque);
    free(sprite);
}

void DrawSpanSprite(const SpanSprite* sprite, Image* destination, int dx, int dy) {
    if (!sprite || !destination || !destination->header || !destination->pixels) return;
    // The sprite's rows and columns that land inside the destination.
    const int64_t top = std::max<int64_t>(0, -int64_t{dy});
    const int64_t bottom = std::min<int64_t>(sprite->height, int64_t{ImageHeight(destination)} - dy);
    const int64_t left = std::max<int64_t>(0, -int64_t{dx});
    const int64_t right = std::min<int64_t>(sprite->width, int64_t{ImageWidth(destination)} - dx);
    if (top >= bottom || left >= right) return;
    const bool whole = left == 0 && right == sprite->width;
    for (int64_t r = top; r < bottom; ++r) {
        uint8_t* row = PixelAddress(destination, 0, int(dy + r));
        const SpanRun* run = sprite->runs + sprite->rowFirst[r];
        const SpanRun* end = sprite->runs + sprite->rowFirst[r + 1];
        for (; run < end; ++run) {
            if (whole) {
                CopyRun(row + dx + run->x, sprite->opaque + run->offset, run->length);
                continue;
            }
            const int64_t from = std::max<int64_t>(run->x, left);
            const int64_t to = std::min<int64_t>(int64_t{run->x} + run->length, right);
            if (from < to) CopyRun(row + (dx + from), sprite->opaque + run->offset + (from - run->x), int(to - from));
        }
    }
}
