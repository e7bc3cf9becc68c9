// Where the monitors are: RandR 1.5 monitors, else Xinerama screens, else the
// whole screen.
#include <X11/extensions/Xinerama.h>
#include <X11/extensions/Xrandr.h>

#include "x11/window.h"

namespace {

int RandrMonitors(Display* display, int screen, MonitorArea monitors[kMaxMonitors]) {
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) || !XRRQueryVersion(display, &major, &minor) ||
        major * 100 + minor < 105) {
        return 0;
    }
    int count = 0;
    XRRMonitorInfo* info = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
    if (info == nullptr) return 0;
    int kept = 0;
    for (int i = 0; i < count && kept < kMaxMonitors; ++i) {
        if (info[i].width <= 0 || info[i].height <= 0) continue;
        monitors[kept++] = {{info[i].x, info[i].y, info[i].width, info[i].height}, info[i].primary ? 1 : 0};
    }
    XRRFreeMonitors(info);
    return kept;
}

// Xinerama names no primary; its first screen stands for it.
int XineramaMonitors(Display* display, MonitorArea monitors[kMaxMonitors]) {
    int eventBase = 0, errorBase = 0;
    if (!XineramaQueryExtension(display, &eventBase, &errorBase) || !XineramaIsActive(display)) return 0;
    int count = 0;
    XineramaScreenInfo* info = XineramaQueryScreens(display, &count);
    if (info == nullptr) return 0;
    int kept = 0;
    for (int i = 0; i < count && kept < kMaxMonitors; ++i) {
        if (info[i].width <= 0 || info[i].height <= 0) continue;
        monitors[kept] = {{info[i].x_org, info[i].y_org, info[i].width, info[i].height}, kept == 0 ? 1 : 0};
        ++kept;
    }
    XFree(info);
    return kept;
}

}  // namespace

int QueryMonitors(Display* display, int screen, MonitorArea monitors[kMaxMonitors]) {
    int count = RandrMonitors(display, screen, monitors);
    if (count == 0) count = XineramaMonitors(display, monitors);
    if (count > 0) return count;
    monitors[0] = {{0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen)}, 1};
    return 1;
}
