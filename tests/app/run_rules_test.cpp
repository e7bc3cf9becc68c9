// The mouse-move dismissal every host applies: the distance |dx| + |dy|
// against the threshold, exact for any pair of 32-bit screen coordinates.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/run_rules.h"

namespace {

TEST(MouseThreshold, ClosesWhenTheSumOfBothDistancesPassesTheThreshold) {
    struct Case {
        ScreenPoint anchor, cursor;
        uint32_t threshold;
        int exceeds;
        const char* why;
    } cases[] = {
        {{500, 400}, {500, 400}, kMouseMoveThreshold, 0, "not moved"},
        {{500, 400}, {502, 402}, kMouseMoveThreshold, 0, "2 right and 2 down"},
        {{500, 400}, {503, 402}, kMouseMoveThreshold, 1, "one more pixel"},
        {{500, 400}, {504, 400}, kMouseMoveThreshold, 0, "four pixels right"},
        {{500, 400}, {505, 400}, kMouseMoveThreshold, 1, "the fifth pixel"},
        {{500, 400}, {500, 395}, kMouseMoveThreshold, 1, "five up"},
        {{10, 10}, {8, 8}, kMouseMoveThreshold, 0, "up and left"},
        {{10, 10}, {7, 8}, kMouseMoveThreshold, 1, "one more left"},
        {{10, 10}, {12, 7}, kMouseMoveThreshold, 1, "right and up"},
        {{0, 0}, {-2, 2}, kMouseMoveThreshold, 0, "across zero"},
        {{-3, -3}, {-1, -6}, kMouseMoveThreshold, 1, "negative coordinates"},
        {{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX}, kMouseMoveThreshold, 1, "corner to corner"},
        {{INT32_MAX, 0}, {INT32_MAX, 0}, kMouseMoveThreshold, 0, "still at the edge"},
        {{0, 0}, {INT32_MIN, INT32_MIN}, 0xFFFFFFFFu, 1, "2^32 exceeds the largest threshold"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MouseMoveExceedsThreshold(c.anchor, c.cursor, c.threshold), c.exceeds) << c.why;
    }
}

}  // namespace
