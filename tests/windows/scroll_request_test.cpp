// The settings dialog's scroll requests: steps, thumb positions and clamping.
#include <gtest/gtest.h>

#include <cstdint>

#include "windows/windows_host.h"
#include "settings/settings.h"

namespace {

Setting Apply(Setting setting, int code, uint32_t thumb = 0, int* shown = nullptr) {
    int result = ApplyScrollRequest(&setting, code, thumb);
    if (shown) *shown = result;
    return setting;
}

TEST(ScrollRequest, ArrowsAndTroughStepByOne) {
    Setting walkers = {5, 100, 50};
    EXPECT_EQ(Apply(walkers, SB_LINELEFT).value, 49);
    EXPECT_EQ(Apply(walkers, SB_LINERIGHT).value, 51);
    EXPECT_EQ(Apply(walkers, SB_PAGELEFT).value, 49) << "the trough steps like an arrow";
    EXPECT_EQ(Apply(walkers, SB_PAGERIGHT).value, 51);
}

TEST(ScrollRequest, StepsStopAtTheEndsOfTheRange) {
    EXPECT_EQ(Apply({5, 100, 100}, SB_LINERIGHT).value, 100);
    EXPECT_EQ(Apply({0, 120, 0}, SB_LINELEFT).value, 0);
}

TEST(ScrollRequest, EndsSetMinAndMax) {
    EXPECT_EQ(Apply({20, 150, 100}, SB_LEFT).value, 20);
    EXPECT_EQ(Apply({20, 150, 100}, SB_RIGHT).value, 150);
}

TEST(ScrollRequest, ThumbReleaseTakesThePositionUnsignedAndClamped) {
    EXPECT_EQ(Apply({1, 55, 30}, SB_THUMBPOSITION, 42).value, 42);
    EXPECT_EQ(Apply({1, 55, 30}, SB_THUMBPOSITION, 0xFFFF).value, 55) << "65535 is not -1: it clamps to max";
    EXPECT_EQ(Apply({-100, 70000, 0}, SB_THUMBPOSITION, 0xFFFF).value, 65535);
    EXPECT_EQ(Apply({1, 55, 30}, SB_THUMBPOSITION, 0).value, 1);
}

TEST(ScrollRequest, TrackingAndEndScrollChangeNothingAndSkipTheRedraw) {
    int shown = -1;
    EXPECT_EQ(Apply({1, 55, 300}, SB_THUMBTRACK, 7, &shown).value, 300);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(Apply({1, 55, 300}, SB_ENDSCROLL, 7, &shown).value, 300);
    EXPECT_EQ(shown, 0);
}

TEST(ScrollRequest, UnknownCodesOnlyClamp) {
    int shown = 0;
    EXPECT_EQ(Apply({1, 55, 30}, 9, 0, &shown).value, 30);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(Apply({1, 55, 300}, 77).value, 55);
    EXPECT_EQ(Apply({1, 55, -8}, -1).value, 1);
}

TEST(ScrollRequest, AnInvertedRangeEndsAtMax) {
    EXPECT_EQ(Apply({50, 10, 30}, SB_LINERIGHT).value, 10);
    EXPECT_EQ(Apply({50, 10, 30}, SB_LEFT).value, 10);
}

TEST(ScrollRequest, ValuesAtTheLimitsOfTheTypeClampInsteadOfWrapping) {
    EXPECT_EQ(Apply({-5, 5, INT32_MIN}, SB_LINELEFT).value, -5);
    EXPECT_EQ(Apply({-5, 5, INT32_MAX}, SB_LINERIGHT).value, 5);
    EXPECT_EQ(Apply({INT32_MIN, INT32_MAX, INT32_MAX}, SB_LINERIGHT).value, INT32_MAX);
    EXPECT_EQ(Apply({INT32_MIN, INT32_MAX, INT32_MIN}, SB_LINELEFT).value, INT32_MIN);
}

}  // namespace
