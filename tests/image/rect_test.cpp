// Facts about rectangles: clipping keeps exactly the shared pixels, also for
// sides near INT_MAX, a union holds both without the empty one, and a full
// list of rectangles is merged into its bounds.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "image/rect.h"

namespace {

std::string Text(Rect r) {
    return "(" + std::to_string(r.x) + ", " + std::to_string(r.y) + ", " + std::to_string(r.width) + " x " +
           std::to_string(r.height) + ")";
}

void ExpectRect(Rect got, Rect expected, const std::string& what) {
    EXPECT_TRUE(got.x == expected.x && got.y == expected.y && got.width == expected.width &&
                got.height == expected.height)
        << what << ": expected " << Text(expected) << ", got " << Text(got);
}

TEST(RectTest, ClipIntersectAndUnion) {
    struct Case {
        Rect a, b, intersection, unionOf;
    };
    const Case cases[] = {
        {{10, 20, 30, 40}, {0, 0, 100, 100}, {10, 20, 30, 40}, {0, 0, 100, 100}},
        {{-5, -5, 10, 10}, {0, 0, 100, 100}, {0, 0, 5, 5}, {-5, -5, 105, 105}},
        {{90, 95, 20, 20}, {0, 0, 100, 100}, {90, 95, 10, 5}, {0, 0, 110, 115}},
        {{100, 0, 10, 10}, {0, 0, 100, 100}, {0, 0, 0, 0}, {0, 0, 110, 100}},  // touching: no pixel shared
        {{0, 0, -10, 10}, {0, 0, 100, 100}, {0, 0, 0, 0}, {0, 0, 100, 100}},   // empty: adds nothing
        {{INT_MAX - 1, 0, INT_MAX, 1}, {0, 0, 100, 100}, {0, 0, 0, 0}, {0, 0, INT_MAX, 100}},
        {{1, 1, INT_MAX, INT_MAX}, {0, 0, 100, 100}, {1, 1, 99, 99}, {0, 0, INT_MAX, INT_MAX}},
        {{3, 4, 5, 6}, {0, 0, 0, 0}, {0, 0, 0, 0}, {3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        const std::string what = Text(c.a) + " and " + Text(c.b);
        ExpectRect(Intersect(c.a, c.b), c.intersection, what + " intersected");
        ExpectRect(Intersect(c.b, c.a), c.intersection, what + " intersected the other way");
        if (c.b.x == 0 && c.b.y == 0) ExpectRect(ClipTo(c.a, c.b.width, c.b.height), c.intersection, what + " clipped");
        if (c.unionOf.width < INT_MAX) ExpectRect(Union(c.a, c.b), c.unionOf, what + " joined");
    }
    EXPECT_TRUE(Contains({2, 3, 4, 5}, 2, 3) && Contains({2, 3, 4, 5}, 5, 7));
    EXPECT_FALSE(Contains({2, 3, 4, 5}, 6, 3) || Contains({2, 3, 4, 5}, 2, 8) || Contains({2, 3, 4, 5}, 1, 3));
    EXPECT_FALSE(Contains({-10, 0, 5, 1}, INT_MAX, 0)) << "the distance from the left edge is taken in 64 bits";
    ExpectRect(Offset({2, 3, 4, 5}, Point{-7, 1}), {-5, 4, 4, 5}, "offset");
}

// A list past its room becomes its bounds and the new rectangle: it never
// grows beyond its room, and every rectangle added stays covered.
TEST(RectTest, AFullRectListKeepsCoveringEveryRectangle) {
    constexpr int kRoom = 4;
    for (const int added : {1, kRoom, kRoom + 1, 3 * kRoom + 2}) {
        Rect list[kRoom];
        int count = 0;
        Rect bounds{0, 0, 0, 0};
        for (int i = 0; i < added; ++i) {
            const Rect rect{(i * 37) % 500, (i * 11) % 90 + 600, 3 + i % 5, 2 + i % 3};
            const std::string what = std::to_string(added) + " added, then " + Text(rect);
            AddRect(list, &count, kRoom, rect);
            ASSERT_EQ(count, i < kRoom ? i + 1 : 2 + (i - kRoom) % (kRoom - 1)) << what;
            ExpectRect(list[count - 1], rect, what + ": the last");
            if (i >= kRoom && count == 2) ExpectRect(list[0], bounds, what + ": the bounds of those before");
            bounds = Union(bounds, rect);
        }
    }
}

}  // namespace
