// Which monitors get a scene, with which seed, under each monitors choice.
#include <gtest/gtest.h>

#include <vector>

#include "app/monitor_plan.h"

namespace {

TEST(MonitorPlanTest, EachMonitorsSceneAndSeed) {
    const MonitorArea twoMonitors[] = {{{0, 0, 1024, 768}, 0}, {{1024, 0, 800, 600}, 1}};
    const MonitorArea smallPrimary[] = {{{0, 0, 600, 480}, 1}, {{600, 0, 500, 400}, 0}, {{1100, 0, 1920, 1080}, 0}};
    const MonitorArea noPrimary[] = {{{0, 0, 1280, 1024}, 0}, {{1280, 0, 0, 768}, 0}};
    struct Case {
        const MonitorArea* monitors;
        int count;
        MonitorChoice choice;
        std::vector<int> shows;
        std::vector<uint32_t> seedOffsets;
    };
    const Case cases[] = {
        {twoMonitors, 2, kMonitorsAll, {1, 1}, {1, 0}},
        {twoMonitors, 2, kMonitorsPrimary, {0, 1}, {1, 0}},
        {smallPrimary, 3, kMonitorsAll, {1, 0, 1}, {0, 1, 2}},
        {smallPrimary, 3, kMonitorsPrimary, {1, 0, 0}, {0, 1, 2}},
        {noPrimary, 2, kMonitorsAll, {1, 0}, {0, 1}},
        {noPrimary, 0, kMonitorsAll, {}, {}},
    };
    for (const Case& c : cases) {
        MonitorPlan plans[kMaxMonitors];
        const int count = PlanMonitors(c.monitors, c.count, c.choice, 0xFFFFFFFFu, plans);
        ASSERT_EQ(count, int(c.shows.size()));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(plans[i].showsScene, c.shows[size_t(i)]) << "monitor " << i << " of " << c.count;
            EXPECT_EQ(plans[i].seed, 0xFFFFFFFFu + c.seedOffsets[size_t(i)]) << "monitor " << i;
            EXPECT_EQ(plans[i].rect.x, c.monitors[i].rect.x);
            EXPECT_EQ(plans[i].primary, c.seedOffsets[size_t(i)] == 0 ? 1 : 0) << "monitor " << i;
        }
    }
    MonitorArea many[kMaxMonitors + 3];
    for (int i = 0; i < kMaxMonitors + 3; ++i) many[i] = {{i * 640, 0, 640, 480}, i == 0};
    MonitorPlan plans[kMaxMonitors];
    EXPECT_EQ(PlanMonitors(many, kMaxMonitors + 3, kMonitorsAll, 1, plans), kMaxMonitors);
}

}  // namespace
