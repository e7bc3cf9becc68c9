// Intersection and union of rectangles, in 64-bit sums, and rectangles
// joined into fewer.
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

namespace {

// How far back a rectangle looks among the joined ones: nearby rectangles
// come close together, and looking at all of them joined hardly more.
constexpr int kJoinLookBack = 4;

int64_t Area(Rect r) { return IsEmpty(r) ? 0 : int64_t{r.width} * r.height; }

// The pixels a union of a and b adds beyond theirs.
int64_t AddedByJoining(Rect a, Rect b) { return Area(Union(a, b)) - Area(a) - Area(b); }

// Of joined[0, count), the recent one `r` joins with the fewest added
// pixels, at most `slack`; -1 when none.
int BestJoin(const Rect* joined, int count, Rect r, int64_t slack) {
    int best = -1;
    int64_t bestAdded = slack;
    for (int i = count > kJoinLookBack ? count - kJoinLookBack : 0; i < count; ++i) {
        const int64_t added = AddedByJoining(joined[i], r);
        if (added <= bestAdded) {
            best = i;
            bestAdded = added;
        }
    }
    return best;
}

}  // namespace

int JoinNearbyRects(Rect* rects, int count, int64_t slack) {
    int joined = 0;
    for (int i = 0; i < count; ++i) {
        Rect r = rects[i];
        for (int k = BestJoin(rects, joined, r, slack); k >= 0; k = BestJoin(rects, joined, r, slack)) {
            r = Union(rects[k], r);
            std::copy(rects + k + 1, rects + joined, rects + k);
            --joined;
        }
        rects[joined++] = r;
    }
    return joined;
}
