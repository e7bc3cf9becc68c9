// Rectangles of pixels, the one rectangle of pictures, frames and screens:
// the top-left pixel, the width and the height. Terms: a rectangle is empty
// when either side is 0 or less; Intersect and ClipTo keep the pixels in
// both; Union is the smallest rectangle holding both (an empty one adds
// nothing). Sums are taken in 64 bits, so no side near INT_MAX overflows.
#pragma once

#include <cstdint>

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

inline bool IsEmpty(Rect r) { return r.width <= 0 || r.height <= 0; }
inline bool Contains(Rect r, int x, int y) {
    return x >= r.x && int64_t{x} - r.x < r.width && y >= r.y && int64_t{y} - r.y < r.height;
}

// Empty (all zero) when the two share no pixel.
Rect Intersect(Rect a, Rect b);
// The joined sides must fit an int (screens and pictures do).
Rect Union(Rect a, Rect b);
// The part of `r` inside a width x height area at the origin.
inline Rect ClipTo(Rect r, int width, int height) { return Intersect(r, Rect{0, 0, width, height}); }
