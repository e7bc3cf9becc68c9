// One run, whatever shows it: a scene and view per area (a monitor, an
// output, a window or canvas), their set-up or refusal, the seed, the tick
// timer and counts, its settings and its dismissal. A host adds only how
// the areas' pixels reach its screen and how its events arrive.
#pragma once

#include <cstdint>

#include "app/monitor_plan.h"
#include "app/run_rules.h"
#include "scene/scene.h"
#include "scene/screen_view.h"

// One area of the screen. Without a scene it stays black.
struct SceneArea {
    Rect rect;  // where the host shows it
    Scene* scene;
    ScreenView* view;
};

struct RunChoices {
    SettingsRecord settings;
    DisplaySettings display;
    int seedGiven;  // 0: the seed comes from the clock
    uint32_t seed;
    long frameLimit;  // ticks before the run ends (--frames); -1: no limit
    long stillAfter;  // ticks before the animation stops (--still-after); -1: no limit
};

struct SceneRun {
    SceneArea areas[kMaxMonitors];
    int areaCount;
    int primary;        // the area whose scene leads (palette, timer)
    const Scene* lead;  // the scene that times the ticks; null before set-up
    SettingsRecord settings;
    DisplaySettings display;
    uint32_t seed;
    int animating;
    long ticksDrawn;       // in the whole run
    long sceneTicksDrawn;  // since the scenes were last set up
    long frameLimit, stillAfter;
    int64_t nextTickMs;
    int running;
    int exitStatus;
};

enum RunStart { kRunReady, kRunRefused, kRunFailed, kRunOutOfMemory };

struct AreaSetUp {
    int screenWidth;   // the width the resolution class is chosen from; 0: the area's own
    int bitsPerPixel;  // for the refusal
    int shrinkSmall;   // 1: an area below the smallest layout shows it shrunk
};

// A run of `choices`, its seed chosen, nothing set up yet.
void BeginRun(SceneRun* run, const RunChoices& choices);
// Ends the run with `status`, what the program exits with.
void EndRun(SceneRun* run, int status);
// Sets up the scene `plan` asks for in area `index`. The primary's refusal
// or failure is the outcome; another area's leaves it black.
RunStart StartAreaScene(SceneRun* run, int index, const MonitorPlan& plan, const AreaSetUp& setUp);
// Every plan's area, the primary first so that its refusal comes before
// any other scene is loaded. The host ends the scenes, ready or not.
RunStart StartAreaScenes(SceneRun* run, const MonitorPlan* plans, int count, const AreaSetUp& setUp);
// Frees one area's scene and view (if it timed the ticks another's does now), or all.
void EndAreaScene(SceneRun* run, int index);
void EndScenes(SceneRun* run);

// Milliseconds between ticks, never below the 10 ms at which Windows timers
// fire, so a redraw speed animates alike everywhere; 0 while still.
int RunTickPeriod(const SceneRun& run);
// After set-up: whether the run animates and when its first tick is due. A
// run of --frames 0 ends here.
void StartTicks(SceneRun* run, int64_t nowMs);
// Milliseconds until the next tick is due (0: now); -1 while still.
int MillisecondsUntilTick(const SceneRun& run, int64_t nowMs);
// 1 when a tick is due at `nowMs`; the timer then moves on by a period. A
// late tick delays the next: ticks never pile up.
int TakeDueTick(SceneRun* run, int64_t nowMs);
// Counts a tick drawn, which may stop the animation or end the run.
void CountTick(SceneRun* run);

// Gives the running scenes `value` for setting `index`; 0 when the setting
// needs a new start (or nothing runs).
int ChangeRunSetting(SceneRun* run, int index, int value);
// After the screen may have changed behind the views: each next tick puts its whole strip.
void ForgetShownPictures(SceneRun* run);

// The rows [top, bottom) of every area painted into `window`, which holds
// the areas at their rectangles.
void PaintAreas(SceneRun* run, const RgbPixels& window, int top, int bottom);
// One tick of every area into `window`, counted; the changed rectangles in
// the window's coordinates are added to `changed` (AddRect): their count.
int TickAreas(SceneRun* run, const RgbPixels& window, Rect* changed, int capacity);

// 1 for the keys that close a window of its own: q, Q and Escape (the
// keysyms of X11 and XKB alike).
int KeyClosesWindow(uint32_t keysym);
// Where the pointer was when the run came up.
struct PointerAnchor {
    ScreenPoint point;
    int known;
};
// 1 when the pointer at `cursor` is past the threshold from the anchor; an
// unknown anchor becomes `cursor` first.
int PointerDismisses(PointerAnchor* anchor, ScreenPoint cursor);

#ifndef _WIN32
// 1 when ready; else says why on standard error as `program`, with the
// primary's size for a refusal, and ends the run with status 1.
int ReportRunStart(SceneRun* run, RunStart start, const char* program, int bitsPerPixel);
#endif
