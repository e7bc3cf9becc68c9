// Rectangles of pixels, the one rectangle of pictures, frames and screens:
// the top-left pixel, the width and the height; and points, such as the
// corner a rectangle is copied to. Terms: a rectangle is empty when either
// side is 0 or less; Intersect and ClipTo keep the pixels in both; Union is
// the smallest rectangle holding both (an empty one adds nothing). Sums are
// taken in 64 bits, so no side near INT_MAX overflows.
#pragma once

#include <cstdint>

struct Point {
    int x;
    int y;
};

struct Rect {
    int x;
    int y;
    int width;
    int height;
};

inline Point TopLeft(Rect r) { return {r.x, r.y}; }
// The rectangle moved by (dx, dy): from one origin's coordinates to another's.
inline Rect Offset(Rect r, int dx, int dy) { return {r.x + dx, r.y + dy, r.width, r.height}; }
inline Rect Offset(Rect r, Point by) { return Offset(r, by.x, by.y); }

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

// Adds `rect` to a list of `*count` rectangles with room for `capacity` (1 or
// more). A full list is merged into its bounding box first, so the list keeps
// covering every rectangle added: a fit for rectangles that lie close
// together, such as one strip's changes.
void AddRect(Rect* list, int* count, int capacity, Rect rect);
