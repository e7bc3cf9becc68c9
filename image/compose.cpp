// Rectangle fill, opaque copy and transparent blit on 8-bit images. Every
// rectangle is clipped to its image (both images for copies) first, so no
// byte outside either buffer is read or written.
#include "image/compose.h"

#include <cstring>

#include "image/transparent_row.h"

namespace {

// A copy already clipped to both images: its source and destination corners
// and its size.
struct ClippedCopy {
    int sx, sy, dx, dy, width, height;
};

int ClipRect(const Image* source, Rect from, const Image* destination, Point to, ClippedCopy* out) {
    int64_t x0 = from.x, x1 = to.x, w = from.width;
    int64_t y0 = from.y, y1 = to.y, h = from.height;
    if (!ClipAxis(x0, x1, w, ImageWidth(source), ImageWidth(destination))) return 0;
    if (!ClipAxis(y0, y1, h, ImageHeight(source), ImageHeight(destination))) return 0;
    *out = ClippedCopy{int(x0), int(y0), int(x1), int(y1), int(w), int(h)};
    return 1;
}

int ImageIsUsable(const Image* image) { return image && image->header && image->pixels; }

// The rows of a copy after clipping. Within one buffer the order is memmove's:
// a destination at higher addresses than its source is written from the top
// row (the highest addresses) down and each row from its end, so that no
// source byte is overwritten before it is read. Otherwise both bottom rows
// (the lowest addresses) first, then one stride up per row.
struct RowWalk {
    const uint8_t* in;
    uint8_t* out;
    int inStride, outStride, width, height;
    bool backward;
};

int StartRowWalk(const Image* source, Rect from, Image* destination, Point to, RowWalk* walk) {
    if (!ImageIsUsable(source) || !ImageIsUsable(destination)) return 0;
    ClippedCopy r;
    if (!ClipRect(source, from, destination, to, &r)) return 0;
    *walk = RowWalk{PixelAddress(source, r.sx, r.sy + r.height - 1),
                    PixelAddress(destination, r.dx, r.dy + r.height - 1),
                    ImageStride(source),
                    ImageStride(destination),
                    r.width,
                    r.height,
                    false};
    bool sameBuffer = source->pixels == destination->pixels;
    auto address = [](const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); };
    if (sameBuffer && address(walk->out) > address(walk->in)) {
        *walk = RowWalk{PixelAddress(source, r.sx, r.sy),
                        PixelAddress(destination, r.dx, r.dy),
                        -walk->inStride,
                        -walk->outStride,
                        r.width,
                        r.height,
                        true};
    }
    return 1;
}

// The same for rows that may overlap (a blit within one image), pixel by
// pixel in the walk's direction.
void BlitRowTransparentOverlapping(const uint8_t* source, uint8_t* destination, int width, bool backward) {
    for (int k = 0; k < width; ++k) {
        int i = backward ? width - 1 - k : k;
        if (source[i]) destination[i] = source[i];
    }
}

}  // namespace

int ClipAxis(int64_t& source, int64_t& destination, int64_t& length, int64_t sourceLength, int64_t destinationLength) {
    int64_t skip = 0;
    if (source < 0) skip = -source;
    if (destination < 0 && -destination > skip) skip = -destination;
    source += skip;
    destination += skip;
    length -= skip;
    if (length > sourceLength - source) length = sourceLength - source;
    if (length > destinationLength - destination) length = destinationLength - destination;
    return length > 0;
}

int ClipSpan(int64_t& start, int64_t& length, int64_t areaLength) {
    int64_t same = start;
    return ClipAxis(start, same, length, areaLength, areaLength);
}

void FillImageRect(Image* image, Rect rect, int color) {
    if (!ImageIsUsable(image)) return;
    ClippedCopy r;
    if (!ClipRect(image, rect, image, TopLeft(rect), &r)) return;
    // Bottom row first: the lowest address, then one stride up per row.
    uint8_t* row = PixelAddress(image, r.dx, r.dy + r.height - 1);
    int stride = ImageStride(image);
    for (int j = 0; j < r.height; ++j, row += stride) memset(row, static_cast<uint8_t>(color), r.width);
}

void CopyImageRect(const Image* source, Rect from, Image* destination, Point to) {
    RowWalk walk;
    if (!StartRowWalk(source, from, destination, to, &walk)) return;
    // memmove: rows of a copy within one image may overlap each other.
    for (int j = 0; j < walk.height; ++j, walk.in += walk.inStride, walk.out += walk.outStride)
        memmove(walk.out, walk.in, walk.width);
}

void BlitTransparent(const Image* source, Rect from, Image* destination, Point to) {
    RowWalk walk;
    if (!StartRowWalk(source, from, destination, to, &walk)) return;
    bool sameImage = source->pixels == destination->pixels;
    for (int j = 0; j < walk.height; ++j, walk.in += walk.inStride, walk.out += walk.outStride) {
        if (sameImage)
            BlitRowTransparentOverlapping(walk.in, walk.out, walk.width, walk.backward);
        else
            BlitRowTransparent(walk.in, walk.out, walk.width);
    }
}
