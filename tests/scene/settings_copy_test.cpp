// The scene's copies of the settings, the generator and the timer period.
#include "tests/scene/scene_test_support.h"

namespace {

using SceneSettingsCopyTest = SceneTest;

TEST_F(SceneSettingsCopyTest, DefaultsAreCopiedAsTheyAre) {
    CopySceneSettings(kDefaultSettings);
    EXPECT_EQ(sceneSettings.circleSpeed, 100);
    EXPECT_EQ(sceneSettings.circleWalkers, 50);
    EXPECT_EQ(sceneSettings.walkwaySpeed, 30);
    EXPECT_EQ(sceneSettings.walkwayWalkers, 50);
    EXPECT_EQ(sceneSettings.redrawSpeed, 2);
    EXPECT_EQ(sceneSettings.seatPatches, 120);
    EXPECT_EQ(FrameTimerPeriod(), 591);
}

TEST_F(SceneSettingsCopyTest, SeatShuffleOfSixHundredGivesFiveHundredNinetyNine) {
    SettingsRecord record = kDefaultSettings;
    record.entries[SeatShuffle].value = 600;
    CopySceneSettings(record);
    EXPECT_EQ(sceneSettings.seatPatches, 599);
}

TEST_F(SceneSettingsCopyTest, FarOutsideValuesAreClampedIntoTheBuiltInRanges) {
    CopySceneSettings(SettingsWithAllValues(INT32_MAX));
    EXPECT_EQ(sceneSettings.circleSpeed, 150);
    EXPECT_EQ(sceneSettings.circleWalkers, 125);
    EXPECT_EQ(sceneSettings.walkwaySpeed, 55);
    EXPECT_EQ(sceneSettings.walkwayWalkers, 100);
    EXPECT_EQ(sceneSettings.redrawSpeed, 120);
    EXPECT_EQ(sceneSettings.seatPatches, 599);
    EXPECT_EQ(FrameTimerPeriod(), 1);

    CopySceneSettings(SettingsWithAllValues(INT32_MIN));
    EXPECT_EQ(sceneSettings.circleSpeed, 20);
    EXPECT_EQ(sceneSettings.circleWalkers, 30);
    EXPECT_EQ(sceneSettings.walkwaySpeed, 1);
    EXPECT_EQ(sceneSettings.walkwayWalkers, 5);
    EXPECT_EQ(sceneSettings.redrawSpeed, 0);
    EXPECT_EQ(sceneSettings.seatPatches, 100);
    EXPECT_EQ(FrameTimerPeriod(), 601);
}

TEST_F(SceneSettingsCopyTest, StoredRangesDoNotWidenTheScenesRanges) {
    SettingsRecord record = kDefaultSettings;
    record.entries[IsleWalkers] = {0, 1000, 500};
    record.entries[SeatShuffle] = {0, 1000, 1};
    CopySceneSettings(record);
    EXPECT_EQ(sceneSettings.walkwayWalkers, 100);
    EXPECT_EQ(sceneSettings.seatPatches, 100);
}

TEST(SceneRandomTest, GeneratorIsTheLinearCongruentialOne) {
    SeedSceneRandom(0);
    // state 2531011 -> 38; then 2531011 x 214013 + 2531011 -> 7719.
    EXPECT_EQ(SceneRandom(), 38);
    EXPECT_EQ(SceneRandom(), 7719);
    SeedSceneRandom(2u * 1000000000u);  // twice a calendar time, wrapped
    uint32_t state = 2000000000u;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        const int expected = static_cast<int>((state >> 16) & 0x7FFF);
        ASSERT_EQ(SceneRandom(), expected) << "draw " << i;
    }
}

}  // namespace
