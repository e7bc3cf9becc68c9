// Rectangle fill, opaque copy and transparent blit on 8-bit images. Every
// rectangle is clipped to its image (both images for copies) first, so no
// byte outside either buffer is read or written.
#include "image/compose.h"

#include <cstring>

namespace {

// A rectangle already clipped: source and destination corners and the size.
struct ClippedRect {
    int sx, sy, dx, dy, width, height;
};

int ClipRect(const Image* source, int sx, int sy, int width, int height,
             const Image* destination, int dx, int dy, ClippedRect* out)
{
    int64_t x0 = sx, x1 = dx, w = width;
    int64_t y0 = sy, y1 = dy, h = height;
    if (!ClipAxis(x0, x1, w, ImageWidth(source), ImageWidth(destination))) return 0;
    if (!ClipAxis(y0, y1, h, ImageHeight(source), ImageHeight(destination))) return 0;
    *out = ClippedRect{int(x0), int(y0), int(x1), int(y1), int(w), int(h)};
    return 1;
}

int ImageIsUsable(const Image* image)
{
    return image && image->header && image->pixels;
}

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

int StartRowWalk(const Image* source, int sx, int sy, int width, int height,
                 Image* destination, int dx, int dy, RowWalk* walk)
{
    if (!ImageIsUsable(source) || !ImageIsUsable(destination)) return 0;
    ClippedRect r;
    if (!ClipRect(source, sx, sy, width, height, destination, dx, dy, &r)) return 0;
    *walk = RowWalk{PixelAddress(source, r.sx, r.sy + r.height - 1),
                    PixelAddress(destination, r.dx, r.dy + r.height - 1),
                    ImageStride(source), ImageStride(destination), r.width, r.height, false};
    bool sameBuffer = source->pixels == destination->pixels;
    auto address = [](const uint8_t* p) { return reinterpret_cast<uintptr_t>(p); };
    if (sameBuffer && address(walk->out) > address(walk->in)) {
        *walk = RowWalk{PixelAddress(source, r.sx, r.sy), PixelAddress(destination, r.dx, r.dy),
                        -walk->inStride, -walk->outStride, r.width, r.height, true};
    }
    return 1;
}

// Sixteen pixels at a time (SSE2 on x86, NEON on ARM); GCC and clang both
// take this vector type.
typedef uint8_t Pixels16 __attribute__((vector_size(16)));

Pixels16 BlendBlock(Pixels16 source, Pixels16 destination)
{
    Pixels16 keep = (Pixels16)(source == 0);  // 0xFF where transparent
    return (destination & keep) | source;
}

// Blends a word of pixels: bytes of the source that are 0 keep the
// destination's byte. The high bit of ((s & 0x7F..) + 0x7F..) | s is set
// exactly for the nonzero bytes, with no carry between bytes.
template <typename Word>
Word BlendWord(Word source, Word destination)
{
    constexpr Word low7 = static_cast<Word>(0x7F7F7F7F7F7F7F7FULL);
    constexpr Word high = static_cast<Word>(0x8080808080808080ULL);
    Word opaque = (((source & low7) + low7) | source) & high;
    Word opaqueMask = (opaque >> 7) * 0xFF;
    return (destination & ~opaqueMask) | source;
}

// Rows of 4 to 15 pixels (the walkers' sprites are 6 to 9 wide): two words,
// one at each end of the row, both read before either is stored.
template <typename Word>
void BlitTwoWords(const uint8_t* source, uint8_t* destination, int width)
{
    Word s0, s1, d0, d1;
    memcpy(&s0, source, sizeof(Word));
    memcpy(&s1, source + width - sizeof(Word), sizeof(Word));
    memcpy(&d0, destination, sizeof(Word));
    memcpy(&d1, destination + width - sizeof(Word), sizeof(Word));
    d0 = BlendWord(s0, d0);
    d1 = BlendWord(s1, d1);
    memcpy(destination, &d0, sizeof(Word));
    memcpy(destination + width - sizeof(Word), &d1, sizeof(Word));
}

void BlitNarrowRowTransparent(const uint8_t* source, uint8_t* destination, int width)
{
    if (width >= 8) return BlitTwoWords<uint64_t>(source, destination, width);
    if (width >= 4) return BlitTwoWords<uint32_t>(source, destination, width);
    for (int i = 0; i < width; ++i)
        if (source[i]) destination[i] = source[i];
}

// One row of the transparent blit. Branch-free: each destination byte is
// masked by "source is 0" and or-ed with the source, since a per-pixel branch
// mispredicts all along a sprite's outline. Rows of 16 and more end with a
// block aligned to the row's end, read before any store so that no load waits
// on an overlapping store; blending a byte twice gives the same value.
void BlitRowTransparent(const uint8_t* __restrict source, uint8_t* __restrict destination,
                        int width)
{
    if (width < 16) {
        BlitNarrowRowTransparent(source, destination, width);
        return;
    }
    Pixels16 lastSource, lastDestination;
    memcpy(&lastSource, source + width - 16, 16);
    memcpy(&lastDestination, destination + width - 16, 16);
    for (int i = 0; i + 16 <= width; i += 16) {
        Pixels16 s, d;
        memcpy(&s, source + i, 16);
        memcpy(&d, destination + i, 16);
        d = BlendBlock(s, d);
        memcpy(destination + i, &d, 16);
    }
    lastDestination = BlendBlock(lastSource, lastDestination);
    memcpy(destination + width - 16, &lastDestination, 16);
}

// The same for rows that may overlap (a blit within one image), pixel by
// pixel in the walk's direction.
void BlitRowTransparentOverlapping(const uint8_t* source, uint8_t* destination, int width,
                                   bool backward)
{
    for (int k = 0; k < width; ++k) {
        int i = backward ? width - 1 - k : k;
        if (source[i]) destination[i] = source[i];
    }
}

}  // namespace

int ClipAxis(int64_t& source, int64_t& destination, int64_t& length,
             int64_t sourceLength, int64_t destinationLength)
{
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

int ClipSpan(int64_t& start, int64_t& length, int64_t areaLength)
{
    int64_t same = start;
    return ClipAxis(start, same, length, areaLength, areaLength);
}

void FillImageRect(Image* image, int x, int y, int width, int height, int color)
{
    if (!ImageIsUsable(image)) return;
    ClippedRect r;
    if (!ClipRect(image, x, y, width, height, image, x, y, &r)) return;
    // Bottom row first: the lowest address, then one stride up per row.
    uint8_t* row = PixelAddress(image, r.dx, r.dy + r.height - 1);
    int stride = ImageStride(image);
    for (int j = 0; j < r.height; ++j, row += stride)
        memset(row, static_cast<uint8_t>(color), r.width);
}

void CopyImageRect(const Image* source, int sx, int sy, int width, int height,
                   Image* destination, int dx, int dy)
{
    RowWalk walk;
    if (!StartRowWalk(source, sx, sy, width, height, destination, dx, dy, &walk)) return;
    // memmove: rows of a copy within one image may overlap each other.
    for (int j = 0; j < walk.height; ++j, walk.in += walk.inStride, walk.out += walk.outStride)
        memmove(walk.out, walk.in, walk.width);
}

void BlitTransparent(const Image* source, int sx, int sy, int width, int height,
                     Image* destination, int dx, int dy)
{
    RowWalk walk;
    if (!StartRowWalk(source, sx, sy, width, height, destination, dx, dy, &walk)) return;
    bool sameImage = source->pixels == destination->pixels;
    for (int j = 0; j < walk.height; ++j, walk.in += walk.inStride, walk.out += walk.outStride) {
        if (sameImage)
            BlitRowTransparentOverlapping(walk.in, walk.out, walk.width, walk.backward);
        else
            BlitRowTransparent(walk.in, walk.out, walk.width);
    }
}
