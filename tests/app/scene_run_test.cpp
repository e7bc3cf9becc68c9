// The run every host shares: which areas get a scene and what refuses, the
// tick timer and its limits, the areas drawn into one window, and the
// settings and dismissal of a running scene.
#include <gtest/gtest.h>

#include <vector>

#include "app/scene_run.h"

namespace {

class SceneRunTest : public ::testing::Test {
  protected:
    void TearDown() override { EndScenes(&run); }
    RunStart Start(std::vector<MonitorArea> areas, MonitorChoice choice, int shrinkSmall, long frameLimit = -1) {
        BeginRun(&run, {kDefaultSettings, {kPictureCentred, choice}, 1, 7, frameLimit, -1});
        MonitorPlan plans[kMaxMonitors];
        const int count = PlanMonitors(areas.data(), static_cast<int>(areas.size()), choice, run.seed, plans);
        return StartAreaScenes(&run, plans, count, {0, 32, shrinkSmall});
    }
    SceneRun run{};
};

TEST_F(SceneRunTest, StartsTheScenesThePlansAskForAndRefusesOnlyForThePrimary) {
    struct Case {
        const char* what;
        std::vector<MonitorArea> areas;
        MonitorChoice choice;
        int shrinkSmall;
        RunStart start;
        std::vector<int> scenes;  // per area, when ready
        int primary;
    };
    const Case cases[] = {
        {"one area", {{{0, 0, 800, 600}, 1}}, kMonitorsAll, 0, kRunReady, {1}, 0},
        {"a primary below the minimum", {{{0, 0, 600, 600}, 1}}, kMonitorsAll, 0, kRunRefused, {}, 0},
        {"the same shrunk", {{{0, 0, 320, 240}, 1}}, kMonitorsAll, 1, kRunReady, {1}, 0},
        {"a small second area",
         {{{0, 0, 800, 600}, 1}, {{800, 0, 600, 400}, 0}},
         kMonitorsAll,
         0,
         kRunReady,
         {1, 0},
         0},
        {"the primary only",
         {{{0, 0, 800, 600}, 0}, {{800, 0, 800, 600}, 1}},
         kMonitorsPrimary,
         0,
         kRunReady,
         {0, 1},
         1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Start(c.areas, c.choice, c.shrinkSmall), c.start) << c.what;
        for (size_t i = 0; i < c.scenes.size(); ++i) {
            EXPECT_EQ(run.areas[i].scene != nullptr, c.scenes[i] == 1) << c.what << " area " << i;
            EXPECT_EQ(run.areas[i].view != nullptr, c.scenes[i] == 1) << c.what << " area " << i;
            EXPECT_EQ(run.areas[i].rect.x, c.areas[i].rect.x) << c.what;
        }
        EXPECT_EQ(run.primary, c.primary) << c.what;
        if (c.start == kRunReady) {
            EXPECT_EQ(run.lead, run.areas[c.primary].scene) << c.what;
        }
        EndScenes(&run);
    }
}

TEST_F(SceneRunTest, TicksAtTheFlooredPeriodWithoutPilingUpAndEndsAtTheLimit) {
    ASSERT_EQ(Start({{{0, 0, 800, 600}, 1}}, kMonitorsAll, 0, 2), kRunReady);
    StartTicks(&run, 1000);
    EXPECT_EQ(RunTickPeriod(run), 591);
    EXPECT_EQ(MillisecondsUntilTick(run, 1000), 591);
    EXPECT_EQ(TakeDueTick(&run, 1590), 0);
    EXPECT_EQ(TakeDueTick(&run, 5000), 1) << "late";
    EXPECT_EQ(MillisecondsUntilTick(run, 5000), 0) << "a late tick delays the next, which is due now";
    EXPECT_EQ(TakeDueTick(&run, 5000), 1);
    EXPECT_EQ(MillisecondsUntilTick(run, 5000), 591);
    ASSERT_EQ(ChangeRunSetting(&run, RedrawSpeed, 120), 1);
    EXPECT_EQ(RunTickPeriod(run), 10) << "601 - 5 x 120 is below the floor";
    EXPECT_EQ(ChangeRunSetting(&run, IsleWalkers, 10), 0) << "needs a new start";
    CountTick(&run);
    EXPECT_EQ(run.running, 1);
    CountTick(&run);
    EXPECT_EQ(run.running, 0) << "--frames 2";
    EXPECT_EQ(run.exitStatus, 0);
}

TEST_F(SceneRunTest, DrawsEveryAreaIntoTheWindowAtItsPlace) {
    ASSERT_EQ(Start({{{0, 0, 640, 480}, 1}, {{640, 100, 640, 480}, 0}}, kMonitorsAll, 0), kRunReady);
    const Rect window{0, 0, 1280, 580};
    std::vector<uint32_t> whole(1280 * 580), banded(1280 * 580), band(1280 * 580, 0x01020304);
    PaintAreas(&run, {whole.data(), 1280, window}, 0, 580);
    for (int top = 0; top < 580; top += 7) PaintAreas(&run, {banded.data(), 1280, window}, top, top + 7);
    EXPECT_TRUE(whole == banded) << "bands of 7 rows paint what one paint does";
    PaintAreas(&run, {band.data(), 1280, window}, 300, 307);
    for (int y = 0; y < 580; ++y) {
        EXPECT_EQ(band[size_t(y) * 1280 + 700] != 0x01020304u, y >= 300 && y < 307) << "row " << y;
    }
    Rect changed[2 * kMaxViewChanges];
    const int count = TickAreas(&run, {whole.data(), 1280, window}, changed, 2 * kMaxViewChanges);
    const ScreenView& first = *run.areas[0].view;
    const ScreenView& second = *run.areas[1].view;
    ASSERT_EQ(count, first.changedCount + second.changedCount);
    ASSERT_GT(second.changedCount, 0);
    const Rect last = second.changed[second.changedCount - 1];
    EXPECT_EQ(changed[count - 1].x, last.x + 640) << "in the window's coordinates";
    EXPECT_EQ(changed[count - 1].y, last.y + 100);
    EXPECT_EQ(run.ticksDrawn, 1);
}

TEST(SceneRunDismissal, AnAnchorAndTheKeysThatCloseAWindow) {
    PointerAnchor anchor{};
    EXPECT_EQ(PointerDismisses(&anchor, {500, 400}), 0) << "an unknown anchor is taken, not measured";
    EXPECT_EQ(PointerDismisses(&anchor, {502, 402}), 0);
    EXPECT_EQ(PointerDismisses(&anchor, {503, 402}), 1);
    for (uint32_t key : {0x71u, 0x51u, 0xff1bu}) EXPECT_EQ(KeyClosesWindow(key), 1) << key;
    for (uint32_t key : {0x77u, 0x20u, 0xff0du}) EXPECT_EQ(KeyClosesWindow(key), 0) << key;
}

}  // namespace
