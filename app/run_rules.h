// Rules both hosts (Windows and X11) apply the same way around the scene: the
// ways a run can show it and the mouse move that ends a full-screen run.
#pragma once

#include <cstdint>

// What a host's command line asks for. The first two are common to both
// hosts; each host's parser yields only the modes it names.
enum RunMode {
    kModeFullScreen,        // covers the screen, ends on input (Windows "S", X11 --fullscreen)
    kModePreview,           // draws into a window made by someone else: Windows "P" or "L"
                            // with its handle, X11 --window-id or XSCREENSAVER_WINDOW
    kModeWindow,            // X11: a window of its own, closed by q, Escape or the WM
    kModeRoot,              // X11: the root window (or XScreenSaver's virtual root)
    kModeConfigure,         // Windows "C": the dialog, owned by the foreground window
    kModeConfigureNoOwner,  // Windows, empty tail
    kModeChangePassword,    // Windows "A", with an optional window handle after it
    kModeInvalid,           // Windows, any other byte: exit code -1
};

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

constexpr uint32_t kMouseMoveThreshold = 4;

// 1 when |dx| + |dy| between the anchor and the cursor exceeds the threshold.
int MouseMoveExceedsThreshold(ScreenPoint anchor, ScreenPoint cursor, uint32_t threshold);
