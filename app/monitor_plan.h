// Where a host shows scenes: which monitors get one and with which seed,
// and the layout a pane too small for any scene is shown with.
#pragma once

#include <cstdint>

#include "image/rect.h"
#include "scene/scene.h"
#include "settings/display_settings.h"

// One monitor of the display, in the coordinates of the whole display.
struct MonitorArea {
    Rect rect;
    int primary;  // 1 for the primary monitor
};

// What a host does on one monitor: set a scene up there (with its own seed,
// the primary's being the run's seed) or leave it black.
struct MonitorPlan {
    Rect rect;
    int primary;
    int showsScene;
    uint32_t seed;
};

// The plan for `count` monitors (at most kMaxMonitors are planned, the rest
// stay black and unlisted): with kMonitorsPrimary only the primary shows the
// scene; a monitor too small for any scene stays black unless it is the
// primary, whose set-up then refuses as a single screen's would. With no
// primary listed, the first monitor counts as the primary. The number of
// plans written, 0 for no monitors.
constexpr int kMaxMonitors = 16;
int PlanMonitors(const MonitorArea* monitors, int count, MonitorChoice choice, uint32_t seed,
                 MonitorPlan plans[kMaxMonitors]);

// An area narrower than the smallest layout (640 x 480) on Linux: the
// window to set its scene up for, that layout, and the picture size that
// shrinks it to fit, so a small preview pane shows the scene moving rather
// than the still preview picture. Wider areas come back as they are and
// keep `size`. Windows keeps its still preview and does not call this.
SceneWindowInfo ShrinkSmallArea(const SceneWindowInfo& area, PictureSize* size);
