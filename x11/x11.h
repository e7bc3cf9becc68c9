// zarvo on X11: one window (with an area per monitor in full-screen mode),
// its image and the loop that delivers paints, timed ticks and the inputs
// that end a run.
#pragma once

#include <X11/Xlib.h>

#include "app/run_request.h"
#include "app/scene_run.h"
#include "x11/window.h"
#include "x11/window_image.h"

struct X11Host {
    Display* display;
    ZarvoOptions options;
    // The window's areas (a monitor each in full-screen mode, in window
    // coordinates) from the first exposure on, their scenes and the timer.
    SceneRun run;
    SaverWindow saver;
    WindowImage image;
    int imageReady;
    PointerAnchor anchor;
    unsigned long paintSerial;  // the request that began the last whole paint
    int64_t paintedMs;          // when the whole image last went to the window
    int signalFd;               // readable once a termination signal arrived; -1: none
};

// Runs zarvo on X11 to its end; the exit status.
int RunX11(const RunRequest& request);

// Sets a scene up for each area of the window (each monitor in full-screen
// mode) and paints the picture. 1 on success; 0 when the primary's scene
// refused or failed (run.exitStatus says why).
int StartScene(X11Host* host);
// One tick: composed in memory, then only the changed rectangles put on the window.
void DrawTick(X11Host* host);
void HandleEvent(X11Host* host, XEvent* event);

// Runs until closed, dismissed, signalled or the window goes away.
void RunEventLoop(X11Host* host);
