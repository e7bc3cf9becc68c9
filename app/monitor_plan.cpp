// The monitor plan and the shrinking of small areas, the same for every host.
#include "app/monitor_plan.h"

#include <algorithm>

#include "scene/steps.h"

SceneWindowInfo ShrinkSmallArea(const SceneWindowInfo& area, PictureSize* size) {
    constexpr int kSmallestWidth = 640, kSmallestHeight = 480;
    if (area.clientWidth >= kSmallestWidth || area.clientWidth <= 0 || area.clientHeight <= 0) return area;
    *size = kPictureFit;
    return {kSmallestWidth, kSmallestHeight, kSmallestWidth, area.bitsPerPixel, area.display};
}

int PlanMonitors(const MonitorArea* monitors, int count, MonitorChoice choice, uint32_t seed,
                 MonitorPlan plans[kMaxMonitors]) {
    if (monitors == nullptr || count <= 0) return 0;
    count = std::min(count, kMaxMonitors);
    int primary = 0;
    for (int i = count - 1; i >= 0; --i) {
        if (monitors[i].primary) primary = i;
    }
    for (int i = 0; i < count; ++i) {
        const Rect rect = monitors[i].rect;
        const bool isPrimary = i == primary;
        const bool large = ChooseResolutionClass(rect.width, rect.width) != kNoClass;
        const bool chosen = choice != kMonitorsPrimary || isPrimary;
        const bool usable = rect.width > 0 && rect.height > 0;
        // The primary keeps the run's seed, so one monitor runs as it always did.
        const uint32_t order = static_cast<uint32_t>((i - primary + count) % count);
        plans[i] = MonitorPlan{rect, isPrimary ? 1 : 0, usable && chosen && (large || isPrimary) ? 1 : 0, seed + order};
    }
    return count;
}
