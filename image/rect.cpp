// Intersection and union of rectangles, in 64-bit sums, and bounded lists of
// rectangles.
#include "image/rect.h"

#include <algorithm>
#include <cstdint>

Rect Intersect(Rect a, Rect b) {
    const int64_t left = std::max(a.x, b.x), top = std::max(a.y, b.y);
    const int64_t right = std::min(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    const int64_t bottom = std::min(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    if (right <= left || bottom <= top) return Rect{0, 0, 0, 0};
    return Rect{int(left), int(top), int(right - left), int(bottom - top)};
}

Rect Union(Rect a, Rect b) {
    if (IsEmpty(a)) return b;
    if (IsEmpty(b)) return a;
    const int64_t left = std::min(a.x, b.x), top = std::min(a.y, b.y);
    const int64_t right = std::max(int64_t{a.x} + a.width, int64_t{b.x} + b.width);
    const int64_t bottom = std::max(int64_t{a.y} + a.height, int64_t{b.y} + b.height);
    return Rect{int(left), int(top), int(right - left), int(bottom - top)};
}

void AddRect(Rect* list, int* count, int capacity, Rect rect) {
    if (*count >= capacity) {
        Rect bounds = list[0];
        for (int i = 1; i < *count; ++i) bounds = Union(bounds, list[i]);
        list[0] = bounds;
        *count = 1;
    }
    list[(*count)++] = rect;
}
