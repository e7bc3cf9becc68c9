// The scenes of one run, whatever shows them: one scene and view per area
// (a monitor of a window, an output of a compositor, a whole window), how
// each is set up or refused, the frame timer, and the frame counts of
// --frames and --still-after. A host adds only how it gets its areas' pixels
// onto its screen and how its events arrive.
#pragma once

#include <cstdint>

#include "app/monitor_plan.h"
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

struct SceneRun {
    SceneArea areas[kMaxMonitors];
    int areaCount;
    const Scene* lead;  // the scene that times the frames; null before set-up
    int animating;
    long framesDrawn;       // in the whole run: what --frames counts
    long sceneFramesDrawn;  // since the scenes were last set up: what --still-after counts
    long frameLimit;        // frames before the run ends; -1: no limit
    long stillAfter;        // frames before the animation stops; -1: no limit
    int64_t nextFrameMs;
    int running;
    int exitStatus;
};

// What one area's scene is set up from.
struct AreaSetUp {
    const SettingsRecord* settings;
    PictureSize pictureSize;
    int screenWidth;   // the width the resolution class is chosen from
    int bitsPerPixel;  // for the refusal message
    int shrinkSmall;   // 1: an area below the smallest layout shows it shrunk
};

// Ends the run with `status` (what the program exits with).
void EndRun(SceneRun* run, int status);
// Sets the scene of `plan` up in `area`. 0 when the primary's scene refused
// or failed, which ends the run with status 1 after saying why on standard
// error as a single screen's would; another area's refusal leaves it black.
int StartAreaScene(SceneRun* run, const MonitorPlan& plan, const AreaSetUp& setUp, SceneArea* area);
// After every area is set up: whether the run animates and when its first
// frame is due. A run of --frames 0 ends here, its picture painted.
void StartFrames(SceneRun* run, int64_t nowMs);
// Frees one area's scene and view (an output that went away); if it timed
// the frames another area's scene does now, and with none left the run
// stops animating.
void EndAreaScene(SceneRun* run, int index);
// Frees every area's scene and view.
void EndScenes(SceneRun* run);
// Milliseconds until the next frame is due (0: now); -1 while still.
int MillisecondsUntilFrame(const SceneRun& run, int64_t nowMs);
// 1 when a frame is due at `nowMs`; then the timer moves on by one period.
// A frame that ran late delays the next one; frames never pile up.
int TakeDueFrame(SceneRun* run, int64_t nowMs);
// Counts a frame drawn: the animation stops after --still-after frames of the
// current scenes, and the run ends after --frames frames in all.
void CountFrame(SceneRun* run);
