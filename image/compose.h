// Byte-level compositing of 8-bit images.
// Rectangles are clipped to both images; nothing reads or writes outside.
#pragma once

#include "image/image.h"
#include "image/rect.h"

// Clips one axis of a copy: the start in the source and in the destination
// move together, so pixels keep their places relative to each other. 64-bit
// so that no int argument can overflow. 0 when nothing is left.
int ClipAxis(int64_t& source, int64_t& destination, int64_t& length, int64_t sourceLength, int64_t destinationLength);
// The same for a span of one area [0, areaLength).
int ClipSpan(int64_t& start, int64_t& length, int64_t areaLength);

void FillImageRect(Image* image, Rect rect, int color);
// The source's rectangle `from` goes to the destination with its top-left
// pixel at `to`.
void CopyImageRect(const Image* source, Rect from, Image* destination, Point to);
// The same, except that source pixels of value 0 leave the destination unchanged.
void BlitTransparent(const Image* source, Rect from, Image* destination, Point to);
// Nearest-neighbour resample in 16.16 fixed point. The new sides are w x fx
// and h x fy truncated, except that a product less than 0.0001 short of a
// whole number counts as that number. On success *holder refers to the new
// image (the old one is released) and the result is 1; a side that comes out
// 0 or too large gives 0 and leaves the holder as it was.
int ScaleImage(Image** holder, double fx, double fy);
// The 16.16 step of that resample from `sourceSide` pixels to `destinationSide`
// (sides up to 65535), and the source pixel it takes for destination pixel
// `destination` (the product wraps at 32 bits, as the running sum would).
uint32_t ScaleStep(int sourceSide, int destinationSide);
inline int ScaledSourceIndex(int destination, uint32_t step) {
    return static_cast<int>((static_cast<uint32_t>(destination) * step) >> 16);
}
