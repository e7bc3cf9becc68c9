// The scenes of one run, whatever shows them: one scene and view per area
// (a monitor of a window, an output of a compositor, a whole window or
// canvas), how each is set up or refused, the seed, the tick timer and the
// tick counts of --frames and --still-after, the settings it runs with and
// the pointer move that dismisses it. A host adds only how its areas'
// pixels get onto its screen and how its events arrive.
#pragma once

#include <cstdint>

#include "app/monitor_plan.h"
#include "app/run_rules.h"
#include "scene/scene.h"
#include "scene/screen_view.h"
#include "settings/display_settings.h"
#include "settings/settings.h"

// One area of the screen. Without a scene it stays black.
struct SceneArea {
    Rect rect;  // where the host shows it
    Scene* scene;
    ScreenView* view;
};

// What a host asks of a run before it starts.
struct RunChoices {
    SettingsRecord settings;
    DisplaySettings display;
    int seedGiven;  // 0: the seed comes from the clock
    uint32_t seed;
    long frameLimit;  // ticks before the run ends; -1: no limit
    long stillAfter;  // ticks before the animation stops; -1: no limit
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
    long ticksDrawn;       // in the whole run: what --frames counts
    long sceneTicksDrawn;  // since the scenes were last set up: what --still-after counts
    long frameLimit;
    long stillAfter;
    int64_t nextTickMs;
    int running;
    int exitStatus;
};

// How the scenes of a run started.
enum RunStart { kRunReady, kRunRefused, kRunFailed, kRunOutOfMemory };

// What every area's scene is set up from.
struct AreaSetUp {
    int screenWidth;   // the width the resolution class is chosen from; 0: the area's own
    int bitsPerPixel;  // for the refusal
    int shrinkSmall;   // 1: an area below the smallest layout shows it shrunk
};

// A run of `choices` that has not set anything up yet, its seed chosen.
void BeginRun(SceneRun* run, const RunChoices& choices);
// Ends the run with `status` (what the program exits with).
void EndRun(SceneRun* run, int status);
// Sets up the scene `plan` asks for in area `index`. The primary's refusal
// or failure is the outcome; another area's leaves it black. A view that
// finds no memory is kRunOutOfMemory on any area.
RunStart StartAreaScene(SceneRun* run, int index, const MonitorPlan& plan, const AreaSetUp& setUp);
// Every area of the plans, the primary first so that its refusal comes
// before any other scene is loaded. The host ends the scenes, ready or not.
RunStart StartAreaScenes(SceneRun* run, const MonitorPlan* plans, int count, const AreaSetUp& setUp);
// Frees one area's scene and view (an output that went away); if it timed
// the ticks another area's scene does now, and with none left the run
// stops animating.
void EndAreaScene(SceneRun* run, int index);
void EndScenes(SceneRun* run);

// Milliseconds between ticks, never below the 10 ms at which Windows timers
// fire so that a redraw speed animates alike everywhere; 0 while still.
int RunTickPeriod(const SceneRun& run);
// After every area is set up: whether the run animates and when its first
// tick is due. A run of --frames 0 ends here, its picture painted.
void StartTicks(SceneRun* run, int64_t nowMs);
// Milliseconds until the next tick is due (0: now); -1 while still.
int MillisecondsUntilTick(const SceneRun& run, int64_t nowMs);
// 1 when a tick is due at `nowMs`; then the timer moves on by one period.
// A tick that ran late delays the next one; ticks never pile up.
int TakeDueTick(SceneRun* run, int64_t nowMs);
// Counts a tick drawn: the animation stops after --still-after ticks of the
// current scenes, and the run ends after --frames ticks in all.
void CountTick(SceneRun* run);

// Gives every running scene `value` for setting `index`; 1 when they took
// it, 0 when the setting needs a new start (or nothing runs).
int ChangeRunSetting(SceneRun* run, int index, int value);
// After anything that may have changed the screen behind the views' backs:
// every area's next tick puts its whole strip.
void ForgetShownPictures(SceneRun* run);

// The rows [top, bottom) of every area painted into `window`, which holds
// the areas at their rectangles.
void PaintAreas(SceneRun* run, const RgbPixels& window, int top, int bottom);
// One tick of every area into `window`, counted; the changed rectangles in
// the window's coordinates are added to `changed` (AddRect). Their count.
int TickAreas(SceneRun* run, const RgbPixels& window, Rect* changed, int capacity);

// 1 for the keys that close a window of its own: q, Q and Escape (the
// keysyms of X11 and XKB alike).
int KeyClosesWindow(uint32_t keysym);
// Where the pointer was when the run came up; a move past the threshold
// from there dismisses the run.
struct PointerAnchor {
    ScreenPoint point;
    int known;
};
// 1 when the pointer at `cursor` dismisses the run; an unknown anchor
// becomes `cursor` first.
int PointerDismisses(PointerAnchor* anchor, ScreenPoint cursor);

#ifndef _WIN32
// Says on standard error, as `program`, why the run did not start and ends
// it with status 1; the refusal names the primary area's size. 1 when ready.
int ReportRunStart(SceneRun* run, RunStart start, const char* program, int bitsPerPixel);
#endif
