// The X11 front end: one window (with an area per monitor in full-screen
// mode), its image and the loop that delivers paints, timed frames and the
// inputs that end a run.
#pragma once

#include <X11/Xlib.h>

#include "app/options.h"
#include "app/scene_run.h"
#include "x11/output.h"
#include "x11/window.h"

struct FrontEnd {
    Display* display;
    ZarvoOptions options;
    SettingsRecord settings;          // the stored ones with the command line's over them
    DisplaySettings displaySettings;  // the same for the picture size and monitors
    // The window's areas (a monitor each in full-screen mode, in window
    // coordinates) from the first exposure on, their scenes and the timer.
    SceneRun run;
    SaverWindow saver;
    FrameOutput output;
    int outputReady;
    int anchorX, anchorY;
    unsigned long paintSerial;  // the request that began the last whole paint
    int signalFd;               // readable once a termination signal arrived; -1: none
};

// 1 when the scene is set up and painted before the first exposure: a
// foreign window may be on screen already and never send one, and a
// full-screen window's size is known, so the server maps it meanwhile.
int StartsBeforeExposure(const FrontEnd* frontEnd);
// Sets a scene up for each area of the window (each monitor in full-screen
// mode) and paints the picture. 1 on success; 0 when the primary's scene
// refused or failed (run.exitStatus says why).
int StartScene(FrontEnd* frontEnd);
// The whole picture, as a paint message would draw it.
void PaintWindow(FrontEnd* frontEnd);
// One frame: composed in memory, then only the strip put on the window.
void DrawFrame(FrontEnd* frontEnd);
void HandleEvent(FrontEnd* frontEnd, XEvent* event);

// Runs until closed, dismissed, signalled or the window goes away.
void RunEventLoop(FrontEnd* frontEnd);
