// Facts about rectangles: clipping keeps exactly the shared pixels, also for
// sides near INT_MAX, a union holds both without the empty one, and joined
// rectangles hold every pixel of theirs within the pixels a join may add.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

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
}

// Rectangles of a tick's kind inside a width x height window: runs of
// bands on nearby rows, small scattered dots, a few large ones, empty ones.
std::vector<Rect> RandomRects(std::mt19937& random, int width, int height, int count) {
    std::vector<Rect> rects;
    int y = int(random() % height);
    for (int i = 0; i < count; ++i) {
        const int kind = int(random() % 8);
        if (kind == 0) {
            rects.push_back({int(random() % width), int(random() % height), -int(random() % 3), int(random() % 3)});
            continue;
        }
        y = kind < 5 ? (y + int(random() % 9) + height - 2) % height : int(random() % height);
        const int w = kind == 7 ? 1 + int(random() % width) : 1 + int(random() % (kind < 5 ? 60 : 4));
        const int h = kind == 7 ? 1 + int(random() % height) : 1 + int(random() % 9);
        const int x = int(random() % width);
        rects.push_back(ClipTo({x, y, w, h}, width, height));
    }
    return rects;
}

int64_t AreaOf(Rect r) { return IsEmpty(r) ? 0 : int64_t{r.width} * r.height; }

TEST(RectTest, JoinedRectsHoldEveryPixelWithinTheirSlack) {
    struct Case {
        int width, height, count;
        int64_t slack;
    };
    const Case cases[] = {{64, 48, 1, 0},        {64, 48, 2, 10},       {64, 48, 40, 0},
                          {64, 48, 40, 64},      {320, 200, 128, 0},    {320, 200, 128, 256},
                          {320, 200, 128, 1024}, {320, 200, 128, 8192}, {40, 400, 100, 100},
                          {7, 5, 20, 3},         {320, 200, 0, 1024},   {320, 200, 128, int64_t{1} << 40}};
    std::mt19937 random(26);
    for (const Case& c : cases) {
        for (int trial = 0; trial < 40; ++trial) {
            const std::vector<Rect> given = RandomRects(random, c.width, c.height, c.count);
            std::vector<Rect> joined = given;
            const int count = JoinNearbyRects(joined.data(), int(joined.size()), c.slack);
            const std::string what = std::to_string(c.count) + " in " + std::to_string(c.width) + " x " +
                                     std::to_string(c.height) + ", slack " + std::to_string(c.slack) + ", trial " +
                                     std::to_string(trial);
            ASSERT_TRUE(count >= (c.count > 0 ? 1 : 0) && count <= c.count) << what << ": " << count << " joined";
            int64_t givenArea = 0, joinedArea = 0;
            for (int i = 0; i < count; ++i) {
                joinedArea += AreaOf(joined[size_t(i)]);
                if (!IsEmpty(joined[size_t(i)]))
                    ExpectRect(joined[size_t(i)], ClipTo(joined[size_t(i)], c.width, c.height),
                               what + ": a joined rectangle leaves the window");
            }
            for (const Rect& r : given) {
                givenArea += AreaOf(r);
                for (int y = r.y; y < r.y + r.height; ++y) {
                    for (int x = r.x; x < r.x + r.width; ++x) {
                        const bool put = std::any_of(joined.begin(), joined.begin() + count,
                                                     [x, y](Rect j) { return Contains(j, x, y); });
                        ASSERT_TRUE(put) << what << ": pixel (" << x << ", " << y << ") of " << Text(r) << " not put";
                    }
                }
            }
            EXPECT_LE(joinedArea, givenArea + (c.count - count) * c.slack)
                << what << ": more added than the joins allow";
        }
    }
    // Side by side on the same rows, and one inside another, add nothing: one rectangle each.
    Rect touching[] = {{0, 8, 10, 8}, {10, 8, 5, 8}, {20, 8, 5, 8}, {15, 8, 5, 8}};
    ASSERT_EQ(JoinNearbyRects(touching, 4, 0), 1);
    ExpectRect(touching[0], {0, 8, 25, 8}, "a row of touching rectangles");
    Rect inside[] = {{0, 0, 10, 10}, {2, 2, 3, 3}};
    ASSERT_EQ(JoinNearbyRects(inside, 2, 0), 1);
    ExpectRect(inside[0], {0, 0, 10, 10}, "one inside another");
    Rect apart[] = {{0, 0, 4, 4}, {10, 0, 4, 4}};
    ASSERT_EQ(JoinNearbyRects(apart, 2, 23), 2) << "24 pixels between them are more than 23";
    ASSERT_EQ(JoinNearbyRects(apart, 2, 24), 1);
    ExpectRect(apart[0], {0, 0, 14, 4}, "two a gap apart");
}

}  // namespace
