// The scene driven by X events: set-up at the first exposure, the picture on
// every exposure, ticks on the timer, and the inputs that end a run.
#include <algorithm>
#include <cstdio>

#include "app/signals.h"
#include "x11/x11.h"

namespace {

void QueryAnchor(X11Host* host) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(host->display, host->saver.window, &root, &child, &rootX, &rootY, &x, &y, &buttons)) {
        host->anchor = PointerAnchor{{rootX, rootY}, 1};
    }
}

// The whole picture, as a paint message would draw it.
void PaintWindow(X11Host* host) {
    WindowImage* image = &host->image;
    const int width = image->surface.area.width, height = image->surface.area.height;
    // In bands of about 2 MB, each sent as soon as it is painted: the server
    // copies one band while the next is painted, where a whole 4K picture
    // painted and then put would cost both times one after the other.
    const int bandHeight = std::max(16, (2 << 20) / (4 * std::max(width, 1)));
    host->paintSerial = NextRequest(host->display);
    host->paintedMs = MonotonicMilliseconds();
    for (int top = 0; top < height; top += bandHeight) {
        const int bottom = std::min(height, top + bandHeight);
        PaintAreas(&host->run, image->surface, top, bottom);
        SendImageRect(host->display, host->saver.window, image, Rect{0, top, width, bottom - top});
        XFlush(host->display);
    }
    WaitForImageRects(host->display, image);
}

void HandleKey(X11Host* host, XKeyEvent* key) {
    if (host->options.mode == kModeFullScreen) return EndRun(&host->run, 0);
    if (host->saver.owned && KeyClosesWindow(static_cast<uint32_t>(XLookupKeysym(key, 0)))) EndRun(&host->run, 0);
}

void HandleExpose(X11Host* host, const XExposeEvent* expose) {
    if (expose->count > 0) return;  // the last of a series repaints once
    if (host->imageReady) {
        // Sent before the server took the first band of the last paint, which covers it.
        if (expose->serial < host->paintSerial) return;
        return PaintWindow(host);
    }
    if (!StartScene(host)) host->run.running = 0;
}

// A window that took a new size (a person resized it, or XScreenSaver's
// settings resized its preview) gets its scenes set up again for that size,
// with the run's seed: each resolution class has its own layout, and the
// picture is placed on the new size by the picture-size setting. The
// override-redirect full-screen window keeps the screen's size.
void HandleConfigure(X11Host* host, const XConfigureEvent* configure) {
    if (!host->imageReady || configure->window != host->saver.window) return;
    if (host->options.mode == kModeFullScreen && host->saver.owned) return;
    const Rect& area = host->image.surface.area;
    if (configure->width == area.width && configure->height == area.height) return;
    EndScenes(&host->run);
    DestroyWindowImage(host->display, &host->image);
    host->imageReady = 0;
    if (!StartScene(host)) host->run.running = 0;
}

// The monitors inside the window in full-screen mode; any other window is
// one area of its own, which shows the scene whatever its size.
int PlanWindowAreas(X11Host* host, const XWindowAttributes& window, MonitorPlan plans[kMaxMonitors]) {
    const uint32_t seed = host->run.seed;
    const MonitorArea whole = {{0, 0, window.width, window.height}, 1};
    if (host->options.mode != kModeFullScreen) return PlanMonitors(&whole, 1, kMonitorsAll, seed, plans);
    MonitorArea monitors[kMaxMonitors];
    const int count = QueryMonitors(host->display, XScreenNumberOfScreen(window.screen), monitors);
    int inside = 0;
    for (int i = 0; i < count; ++i) {
        const Rect r = ClipTo(monitors[i].rect, window.width, window.height);
        if (!IsEmpty(r)) monitors[inside++] = {r, monitors[i].primary};
    }
    if (inside == 0) return PlanMonitors(&whole, 1, kMonitorsAll, seed, plans);
    return PlanMonitors(monitors, inside, host->run.display.monitors, seed, plans);
}

// The window's size, depth and screen. A full-screen window is
// override-redirect, so no window manager resizes it: it is as created, and
// no round trip waits while the server maps it.
int QueryWindow(X11Host* host, XWindowAttributes* attributes) {
    if (host->options.mode != kModeFullScreen || !host->saver.owned) {
        return XGetWindowAttributes(host->display, host->saver.window, attributes);
    }
    *attributes = XWindowAttributes{};
    attributes->screen = DefaultScreenOfDisplay(host->display);
    attributes->width = WidthOfScreen(attributes->screen);
    attributes->height = HeightOfScreen(attributes->screen);
    attributes->depth = host->saver.depth;
    return 1;
}

}  // namespace

int StartScene(X11Host* host) {
    XWindowAttributes attributes;
    if (!QueryWindow(host, &attributes)) {
        EndRun(&host->run, 0);  // the window went away before it could be drawn
        return 0;
    }
    if (!CreateWindowImage(host->display, host->saver.window, host->saver.visual, host->saver.depth, attributes.width,
                           attributes.height, !host->options.noShm, &host->image)) {
        fprintf(stderr, "zarvo: could not create a %dx%d image for the window\n", attributes.width, attributes.height);
        EndRun(&host->run, 1);
        return 0;
    }
    host->imageReady = 1;
    MonitorPlan plans[kMaxMonitors];
    const int count = PlanWindowAreas(host, attributes, plans);
    // Mapped only now: attaching the shared memory and asking for the
    // monitors wait for the server, which would otherwise be busy mapping and
    // clearing a screen-sized window; while it does, the image's pages are
    // mapped and the scenes set up and painted here.
    const bool fullscreen = host->options.mode == kModeFullScreen;
    if (fullscreen && host->saver.owned) ShowFullScreenWindow(host->display, &host->saver);
    PopulateWindowImage(&host->image);
    // A narrow full screen keeps its refusal: it is a display below the
    // minimum; a window shrinks the scene.
    const AreaSetUp setUp{fullscreen ? 0 : WidthOfScreen(attributes.screen), attributes.depth, !fullscreen};
    const RunStart start = StartAreaScenes(&host->run, plans, count, setUp);
    if (!ReportRunStart(&host->run, start, "zarvo", attributes.depth)) return 0;
    // With no area given a scene the window stays still and black.
    StartTicks(&host->run, MonotonicMilliseconds());
    PaintWindow(host);
    return 1;
}

void DrawTick(X11Host* host) {
    static Rect changed[kMaxMonitors * kMaxViewChanges];
    int count = TickAreas(&host->run, host->image.surface, changed, kMaxMonitors * kMaxViewChanges);
    // The owner of a given window may clear it without an exposure, as a
    // screen saver daemon busy setting its window up can while the first
    // paint is on its way: every few seconds a tick puts the whole image,
    // which the ticks keep current, in place of its changes.
    constexpr int64_t kGivenWindowRepaintMs = 2000;
    const int64_t now = MonotonicMilliseconds();
    if (!host->saver.owned && now - host->paintedMs >= kGivenWindowRepaintMs) {
        changed[0] = host->image.surface.area;
        count = 1;
        host->paintedMs = now;
    }
    PutImageRects(host->display, host->saver.window, &host->image, changed, count);
}

void HandleEvent(X11Host* host, XEvent* event) {
    int fullscreen = host->options.mode == kModeFullScreen;
    switch (event->type) {
    case Expose:
        return HandleExpose(host, &event->xexpose);
    case MapNotify:
        if (fullscreen && event->xmap.window == host->saver.window) {
            GrabInput(host->display, &host->saver);
            QueryAnchor(host);
        }
        return;
    case KeyPress:
        return HandleKey(host, &event->xkey);
    case ButtonPress:
        if (fullscreen) EndRun(&host->run, 0);
        return;
    case MotionNotify:
        if (fullscreen && PointerDismisses(&host->anchor, {event->xmotion.x_root, event->xmotion.y_root})) {
            EndRun(&host->run, 0);
        }
        return;
    case ConfigureNotify:
        return HandleConfigure(host, &event->xconfigure);
    case ClientMessage:
        if (IsCloseRequest(&host->saver, &event->xclient)) EndRun(&host->run, 0);
        return;
    case DestroyNotify:
        if (event->xdestroywindow.window == host->saver.window) {
            host->saver.window = 0;
            EndRun(&host->run, 0);
        }
        return;
    default:
        return;
    }
}
