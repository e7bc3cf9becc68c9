// The buffer size at a fractional scale: logical size times scale / 120,
// rounded half away from zero, and never an overflowed int.
#include <gtest/gtest.h>

#include <climits>

#include "wayland/wayland.h"

namespace {

TEST(WaylandFractionalScale, SizesRoundHalfAwayFromZero) {
    struct Case {
        int logical;
        int scale120;
        int expected;
        const char* what;
    };
    const Case cases[] = {
        {1001, 120, 1001, "1: as it is"},
        {1001, 150, 1251, "1.25: 1251.25 down"},
        {333, 150, 416, "1.25: 416.25 down"},
        {7, 150, 9, "1.25: 8.75 up"},
        {2, 150, 3, "1.25: 2.5 up"},
        {6, 150, 8, "1.25: 7.5 up"},
        {100, 180, 150, "1.5: the protocol's own example"},
        {50, 180, 75, "1.5: the protocol's own example"},
        {1001, 180, 1502, "1.5: 1501.5 up"},
        {333, 180, 500, "1.5: 499.5 up"},
        {1, 180, 2, "1.5: 1.5 up"},
        {1001, 210, 1752, "1.75: 1751.75 up"},
        {333, 210, 583, "1.75: 582.75 up"},
        {7, 210, 12, "1.75: 12.25 down"},
        {2, 210, 4, "1.75: 3.5 up"},
        {1097, 210, 1920, "1.75: 1919.75 up"},
        {-3, 180, -5, "-4.5: away from zero"},
        {INT_MAX, 210, INT_MAX, "past an int: no overflow"},
        {1 << 30, 1 << 30, INT_MAX, "a scale past reason: no overflow"},
        {INT_MIN, 240, INT_MIN, "below an int: no overflow"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScaledSize(c.logical, c.scale120), c.expected) << c.what;
    }
}

}  // namespace
