// The window zarvo draws into, the monitors under it, the X errors and the
// inputs that close it.
#pragma once

#include <X11/Xlib.h>

#include <cstddef>

#include "app/monitor_plan.h"
#include "app/options.h"

struct SaverWindow {
    Window window;
    int owned;  // 1 when created here (window and full-screen modes)
    Visual* visual;
    int depth;
    Colormap colormap;  // created for a non-default visual, else None
    Cursor blankCursor;
    Atom wmProtocols, wmDeleteWindow;  // None unless the window is zarvo's own
};

// Creates the window of the window or full-screen mode, or takes the one to
// draw into. 1 on success; 0 with a message in `error`. A full-screen window
// is left unmapped for ShowFullScreenWindow.
int OpenSaverWindow(Display* display, const ZarvoOptions* options, SaverWindow* saver, char* error, size_t errorSize);
void ShowFullScreenWindow(Display* display, const SaverWindow* saver);
// Takes the keyboard and the pointer for a full-screen run (retried briefly).
void GrabInput(Display* display, const SaverWindow* saver);
void CloseSaverWindow(Display* display, SaverWindow* saver);

// Records X protocol errors instead of exiting, so that a window that goes
// away ends the program cleanly.
void InstallXErrorHandler();
// The first error recorded since the last call (0: none), and its resource.
int TakeXError(unsigned long* resourceId);

// The monitors of the screen in root coordinates: RandR's monitors, else
// Xinerama's screens, else the whole screen as the one (primary) monitor.
// At most kMaxMonitors; the count (at least 1).
int QueryMonitors(Display* display, int screen, MonitorArea monitors[kMaxMonitors]);

// 1 for the window manager's close request (its close button) to a window
// of zarvo's own.
int IsCloseRequest(const SaverWindow* saver, const XClientMessageEvent* message);
