// The mouse-move dismissal both hosts apply: the distance |dx| + |dy| against
// the threshold, exact for any pair of 32-bit screen coordinates.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/run_rules.h"

namespace {

int Exceeds(int32_t ax, int32_t ay, int32_t cx, int32_t cy) {
    return MouseMoveExceedsThreshold({ax, ay}, {cx, cy}, kMouseMoveThreshold);
}

TEST(MouseThreshold, FourPixelsAwayDoNotCloseAndFiveDo) {
    EXPECT_EQ(Exceeds(500, 400, 500, 400), 0);
    EXPECT_EQ(Exceeds(500, 400, 502, 402), 0) << "2 right and 2 down";
    EXPECT_EQ(Exceeds(500, 400, 503, 402), 1) << "one more pixel";
    EXPECT_EQ(Exceeds(500, 400, 504, 400), 0);
    EXPECT_EQ(Exceeds(500, 400, 505, 400), 1);
    EXPECT_EQ(Exceeds(500, 400, 500, 395), 1);
}

TEST(MouseThreshold, CountsDistanceInBothDirectionsAsASum) {
    EXPECT_EQ(Exceeds(10, 10, 8, 8), 0);
    EXPECT_EQ(Exceeds(10, 10, 7, 8), 1);
    EXPECT_EQ(Exceeds(10, 10, 12, 7), 1);
    EXPECT_EQ(Exceeds(0, 0, -2, 2), 0);
    EXPECT_EQ(Exceeds(-3, -3, -1, -6), 1);
}

TEST(MouseThreshold, OnePixelStepsAgainstAFixedAnchorCloseOnTheFifth) {
    int closedAt = 0;
    for (int step = 1; step <= 8 && closedAt == 0; ++step) {
        if (Exceeds(100, 100, 100 + step, 100)) closedAt = step;
    }
    EXPECT_EQ(closedAt, 5);
}

TEST(MouseThreshold, ExtremeCoordinatesDoNotOverflow) {
    EXPECT_EQ(Exceeds(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX), 1);
    EXPECT_EQ(Exceeds(INT32_MAX, 0, INT32_MAX, 0), 0);
    EXPECT_EQ(MouseMoveExceedsThreshold({0, 0}, {INT32_MIN, INT32_MIN}, 0xFFFFFFFFu), 1)
        << "2^32 exceeds the largest threshold";
}

}  // namespace
