// The scene's copies of the settings, the generator and the timer period.
#include <algorithm>
#include <cstring>
#include <vector>

#include "tests/scene/scene_test_support.h"

namespace {

using SceneSettingsCopyTest = SceneTest;

TEST_F(SceneSettingsCopyTest, DefaultsAreCopiedAsTheyAre) {
    CopySceneSettings(*scene, kDefaultSettings);
    EXPECT_EQ(scene->settings.circleSpeed, 100);
    EXPECT_EQ(scene->settings.circleWalkers, 50);
    EXPECT_EQ(scene->settings.walkwaySpeed, 30);
    EXPECT_EQ(scene->settings.walkwayWalkers, 50);
    EXPECT_EQ(scene->settings.redrawSpeed, 2);
    EXPECT_EQ(scene->settings.seatPatches, 120);
    EXPECT_EQ(FrameTimerPeriod(*scene), 591);
}

TEST_F(SceneSettingsCopyTest, SeatShuffleOfSixHundredGivesFiveHundredNinetyNine) {
    SettingsRecord record = kDefaultSettings;
    record.entries[SeatShuffle].value = 600;
    CopySceneSettings(*scene, record);
    EXPECT_EQ(scene->settings.seatPatches, 599);
}

TEST_F(SceneSettingsCopyTest, FarOutsideValuesAreClampedIntoTheBuiltInRanges) {
    struct Case {
        int32_t stored;
        SceneSettings copies;
        int period;
    };
    // circle walkers and speed, seat patches, walkway walkers and speed, redraw speed
    const Case cases[] = {{INT32_MAX, {125, 150, 599, 100, 55, 120}, 1}, {INT32_MIN, {30, 20, 100, 5, 1, 0}, 601}};
    const auto fields = [](const SceneSettings& s) {
        return std::vector<int32_t>{s.circleWalkers,  s.circleSpeed,  s.seatPatches,
                                    s.walkwayWalkers, s.walkwaySpeed, s.redrawSpeed};
    };
    for (const Case& c : cases) {
        CopySceneSettings(*scene, SettingsWithAllValues(c.stored));
        EXPECT_EQ(fields(scene->settings), fields(c.copies)) << "stored " << c.stored;
        EXPECT_EQ(FrameTimerPeriod(*scene), c.period) << "stored " << c.stored;
    }
}

TEST_F(SceneSettingsCopyTest, StoredRangesDoNotWidenTheScenesRanges) {
    SettingsRecord record = kDefaultSettings;
    record.entries[IsleWalkers] = {0, 1000, 500};
    record.entries[SeatShuffle] = {0, 1000, 1};
    CopySceneSettings(*scene, record);
    EXPECT_EQ(scene->settings.walkwayWalkers, 100);
    EXPECT_EQ(scene->settings.seatPatches, 100);
}

// Each setting changed alone on a running scene: those it takes from the
// next tick reach its copies, the ones laid out at set-up leave them all.
TEST_F(SceneSettingsCopyTest, ARunningSceneTakesOnlyTheSettingsItReadsAsItRuns) {
    const struct {
        int index;
        int32_t value;
        int32_t SceneSettings::*copy;
        int live;
    } cases[] = {
        {CircleSpeed, 20, &SceneSettings::circleSpeed, 1},     {CircleWalkers, 125, &SceneSettings::circleWalkers, 1},
        {IsleSpeed, 999, &SceneSettings::walkwaySpeed, 1},     {RedrawSpeed, 120, &SceneSettings::redrawSpeed, 1},
        {IsleWalkers, 100, &SceneSettings::walkwayWalkers, 0}, {SeatShuffle, 600, &SceneSettings::seatPatches, 0},
    };
    for (const auto& c : cases) {
        CopySceneSettings(*scene, kDefaultSettings);
        const SceneSettings before = scene->settings;
        SettingsRecord record = kDefaultSettings;
        record.entries[c.index].value = c.value;
        ChangeSceneSettings(*scene, record);
        EXPECT_EQ(SettingChangesRunningScene(c.index), c.live) << "setting " << c.index;
        SceneSettings expected = before;
        if (c.live) expected.*c.copy = std::min(c.value, kDefaultSettings.entries[c.index].max);
        EXPECT_EQ(std::memcmp(&scene->settings, &expected, sizeof expected), 0) << "setting " << c.index;
    }
}

using SceneRandomTest = SceneTest;

TEST_F(SceneRandomTest, GeneratorIsTheLinearCongruentialOne) {
    scene->randomState = 0;
    // state 2531011 -> 38; then 2531011 x 214013 + 2531011 -> 7719.
    EXPECT_EQ(SceneRandom(*scene), 38);
    EXPECT_EQ(SceneRandom(*scene), 7719);
    scene->randomState = 2u * 1000000000u;  // twice a calendar time, wrapped
    uint32_t state = 2000000000u;
    for (int i = 0; i < 1000; ++i) {
        state = state * 214013u + 2531011u;
        const int expected = static_cast<int>((state >> 16) & 0x7FFF);
        ASSERT_EQ(SceneRandom(*scene), expected) << "draw " << i;
    }
}

}  // namespace
