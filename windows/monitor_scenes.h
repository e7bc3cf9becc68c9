// The saver window's scenes: one per monitor of the full-screen window (the
// preview's one), each on its own area of the client, placed by the
// picture-size setting, and the monitors without a scene left black.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "app/scene_run.h"

// A monitor's scaled screen pixels: a top-down DIB section of the area's size
// in a memory context, the changed part of which is copied to the window.
struct MonitorBitmap {
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;
    void* bits;
    int indexed;  // 8-bit palette indices (palette displays), else 32-bit colour
    int pitch;    // in pixels: bytes for indices, 4-byte words for colour
};

// How one area of the run gets to the window.
struct MonitorScene {
    MonitorBitmap bitmap;  // none when centred
    // Ticks go from the view's picture to the window through GDI: centred,
    // and on palette displays at a whole factor.
    int gdiPicture;
    DisplayInfo pictureInfo;  // the picture as a DIB of scene-palette indices
};

// The run's areas are the monitors in client coordinates; its primary's palette is realised in the foreground.
struct MonitorScenes {
    SceneRun run;
    MonitorScene monitors[kMaxMonitors];
};

// Sets up every scene the monitors' plan asks for. The primary's refusal or
// failure is the outcome (every scene is then freed); another monitor whose
// set-up does not succeed stays black.
RunStart SetUpMonitorScenes(HWND window, HDC dc, int preview, MonitorScenes* scenes);
void DestroyMonitorScenes(MonitorScenes* scenes);

// The primary scene's palette, null before set-up.
HPALETTE PrimaryScenePalette(const MonitorScenes& scenes);

// Every scene's whole picture, each through its own palette, realised (the
// primary's in the foreground, and left selected).
void PaintMonitorScenes(MonitorScenes& scenes, HDC dc);
// One tick on every monitor: only the screen pixels it changed are put,
// through the palettes the last paint or palette message realised.
void TickMonitorScenes(MonitorScenes& scenes, HDC dc);
