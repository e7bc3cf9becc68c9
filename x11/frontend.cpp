// The scene driven by X events: set-up at the first exposure, the picture on
// every exposure, frames on the timer, and the inputs that end a run.
#include <algorithm>

#include "app/frame_clock.h"
#include "x11/frontend.h"

namespace {

void QueryAnchor(FrontEnd* frontEnd) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(frontEnd->display, frontEnd->saver.window, &root, &child, &rootX, &rootY, &x, &y, &buttons)) {
        frontEnd->anchorX = rootX;
        frontEnd->anchorY = rootY;
    }
}

void HandleKey(FrontEnd* frontEnd, XKeyEvent* key) {
    if (frontEnd->options.mode == kModeFullScreen) return EndRun(&frontEnd->run, 0);
    if (frontEnd->saver.owned && KeyClosesWindow(XLookupKeysym(key, 0))) EndRun(&frontEnd->run, 0);
}

void HandleExpose(FrontEnd* frontEnd, const XExposeEvent* expose) {
    if (expose->count > 0) return;  // the last of a series repaints once
    if (frontEnd->outputReady) {
        // Sent before the server took the first band of the last paint, which covers it.
        if (expose->serial < frontEnd->paintSerial) return;
        return PaintWindow(frontEnd);
    }
    if (!StartScene(frontEnd)) frontEnd->run.running = 0;
}

// A window that took a new size (a person resized it, or XScreenSaver's
// settings resized its preview) gets its scenes set up again for that size,
// with the run's seed: each resolution class has its own layout, and the
// picture is placed on the new size by the picture-size setting. The
// override-redirect full-screen window keeps the screen's size.
void HandleConfigure(FrontEnd* frontEnd, const XConfigureEvent* configure) {
    if (!frontEnd->outputReady || configure->window != frontEnd->saver.window) return;
    if (frontEnd->options.mode == kModeFullScreen && frontEnd->saver.owned) return;
    const RgbSurface& surface = frontEnd->output.surface;
    if (configure->width == surface.width && configure->height == surface.height) return;
    EndScenes(&frontEnd->run);
    DestroyFrameOutput(frontEnd->display, &frontEnd->output);
    frontEnd->outputReady = 0;
    if (!StartScene(frontEnd)) frontEnd->run.running = 0;
}

// The window's surface from an area's top-left corner on: the view draws in
// the area's own coordinates.
RgbPixels AreaPixels(FrameOutput* output, const SceneArea& area) {
    const RgbSurface& surface = output->surface;
    uint32_t* origin = surface.pixels + static_cast<size_t>(area.rect.y) * static_cast<size_t>(surface.pitch) +
                       static_cast<size_t>(area.rect.x);
    return RgbPixels{origin, surface.pitch, Rect{0, 0, area.rect.width, area.rect.height}};
}

// The rows [top, bottom) of the window that lie in an area, in the area's
// own coordinates; an empty area when none do.
RgbPixels AreaBand(FrameOutput* output, const SceneArea& area, int top, int bottom) {
    RgbPixels pixels = AreaPixels(output, area);
    const int first = std::clamp(top - area.rect.y, 0, area.rect.height);
    const int last = std::clamp(bottom - area.rect.y, first, area.rect.height);
    pixels.area = Rect{0, first, area.rect.width, last - first};
    pixels.pixels += static_cast<size_t>(first) * static_cast<size_t>(pixels.pitch);
    return pixels;
}

// The monitors inside the window in full-screen mode; any other window is
// one area of its own, which shows the scene whatever its size.
int PlanWindowAreas(FrontEnd* frontEnd, const XWindowAttributes& window, uint32_t seed,
                    MonitorPlan plans[kMaxMonitors]) {
    const MonitorArea whole = {{0, 0, window.width, window.height}, 1};
    if (frontEnd->options.mode != kModeFullScreen) return PlanMonitors(&whole, 1, kMonitorsAll, seed, plans);
    MonitorArea monitors[kMaxMonitors];
    const int count = QueryMonitors(frontEnd->display, XScreenNumberOfScreen(window.screen), monitors);
    int inside = 0;
    for (int i = 0; i < count; ++i) {
        const Rect r = ClipTo(monitors[i].rect, window.width, window.height);
        if (!IsEmpty(r)) monitors[inside++] = {r, monitors[i].primary};
    }
    if (inside == 0) return PlanMonitors(&whole, 1, kMonitorsAll, seed, plans);
    return PlanMonitors(monitors, inside, frontEnd->displaySettings.monitors, seed, plans);
}

// What each area's scene is set up from. A narrow full screen keeps its
// refusal: it is a display below the minimum; a window shrinks the scene.
AreaSetUp WindowSetUp(const FrontEnd* frontEnd, const XWindowAttributes& window, const MonitorPlan& plan) {
    const bool fullscreen = frontEnd->options.mode == kModeFullScreen;
    return AreaSetUp{&frontEnd->settings, frontEnd->displaySettings.pictureSize,
                     fullscreen ? plan.rect.width : WidthOfScreen(window.screen), window.depth, !fullscreen};
}

// The window's size, depth and screen. A full-screen window is
// override-redirect, so no window manager resizes it: it is as created, and
// no round trip waits while the server maps it.
int QueryWindow(FrontEnd* frontEnd, XWindowAttributes* attributes) {
    if (frontEnd->options.mode != kModeFullScreen || !frontEnd->saver.owned) {
        return XGetWindowAttributes(frontEnd->display, frontEnd->saver.window, attributes);
    }
    *attributes = XWindowAttributes{};
    attributes->screen = DefaultScreenOfDisplay(frontEnd->display);
    attributes->width = WidthOfScreen(attributes->screen);
    attributes->height = HeightOfScreen(attributes->screen);
    attributes->depth = frontEnd->saver.depth;
    return 1;
}

}  // namespace

int StartsBeforeExposure(const FrontEnd* frontEnd) {
    return !frontEnd->saver.owned || frontEnd->options.mode == kModeFullScreen;
}

int StartScene(FrontEnd* frontEnd) {
    XWindowAttributes attributes;
    if (!QueryWindow(frontEnd, &attributes)) {
        EndRun(&frontEnd->run, 0);  // the window went away before it could be drawn
        return 0;
    }
    if (!CreateFrameOutput(frontEnd->display, frontEnd->saver.window, frontEnd->saver.visual, frontEnd->saver.depth,
                           attributes.width, attributes.height, !frontEnd->options.noShm, &frontEnd->output)) {
        fprintf(stderr, "zarvo: could not create a %dx%d image for the window\n", attributes.width, attributes.height);
        EndRun(&frontEnd->run, 1);
        return 0;
    }
    frontEnd->outputReady = 1;
    MonitorPlan plans[kMaxMonitors];
    const uint32_t seed = frontEnd->options.seedGiven ? frontEnd->options.seed : SeedFromClock();
    SceneRun* run = &frontEnd->run;
    run->areaCount = PlanWindowAreas(frontEnd, attributes, seed, plans);
    // Mapped only now: attaching the shared memory and asking for the
    // monitors wait for the server, which would otherwise be busy mapping and
    // clearing a screen-sized window; while it does, the image's pages are
    // mapped and the scenes set up and painted here.
    if (frontEnd->options.mode == kModeFullScreen && frontEnd->saver.owned) {
        ShowFullScreenWindow(frontEnd->display, &frontEnd->saver);
    }
    PopulateFrameOutput(&frontEnd->output);
    for (int i = 0; i < run->areaCount; ++i) {
        if (!StartAreaScene(run, plans[i], WindowSetUp(frontEnd, attributes, plans[i]), &run->areas[i])) return 0;
    }
    // With no area given a scene the window stays still and black.
    StartFrames(run, MonotonicMilliseconds());
    PaintWindow(frontEnd);
    return 1;
}

void PaintWindow(FrontEnd* frontEnd) {
    FrameOutput* output = &frontEnd->output;
    const int width = output->surface.width, height = output->surface.height;
    // In bands of about 2 MB, each sent as soon as it is painted: the server
    // copies one band while the next is painted, where a whole 4K picture
    // painted and then put would cost both times one after the other.
    const int bandHeight = std::max(16, (2 << 20) / (4 * std::max(width, 1)));
    frontEnd->paintSerial = NextRequest(frontEnd->display);
    for (int top = 0; top < height; top += bandHeight) {
        const int bottom = std::min(height, top + bandHeight);
        for (int i = 0; i < frontEnd->run.areaCount; ++i) {
            const SceneArea& area = frontEnd->run.areas[i];
            const RgbPixels band = AreaBand(output, area, top, bottom);
            if (area.view && band.area.height > 0) PaintScreenView(*area.view, band);
        }
        SendFrameRect(frontEnd->display, frontEnd->saver.window, output, Rect{0, top, width, bottom - top});
        XFlush(frontEnd->display);
    }
    WaitForFrameRects(frontEnd->display, output);
}

void DrawFrame(FrontEnd* frontEnd) {
    for (int i = 0; i < frontEnd->run.areaCount; ++i) {
        const SceneArea& area = frontEnd->run.areas[i];
        if (area.view == nullptr) continue;
        TickScreenView(*area.view, AreaPixels(&frontEnd->output, area));
        Rect rects[kMaxViewChanges];
        for (int k = 0; k < area.view->changedCount; ++k) {
            const Rect changed = area.view->changed[k];
            rects[k] = Rect{area.rect.x + changed.x, area.rect.y + changed.y, changed.width, changed.height};
        }
        PutFrameRects(frontEnd->display, frontEnd->saver.window, &frontEnd->output, rects, area.view->changedCount);
    }
    CountFrame(&frontEnd->run);
}

void HandleEvent(FrontEnd* frontEnd, XEvent* event) {
    int fullscreen = frontEnd->options.mode == kModeFullScreen;
    switch (event->type) {
    case Expose:
        return HandleExpose(frontEnd, &event->xexpose);
    case MapNotify:
        if (fullscreen && event->xmap.window == frontEnd->saver.window) {
            GrabInput(frontEnd->display, &frontEnd->saver);
            QueryAnchor(frontEnd);
        }
        return;
    case KeyPress:
        return HandleKey(frontEnd, &event->xkey);
    case ButtonPress:
        if (fullscreen) EndRun(&frontEnd->run, 0);
        return;
    case MotionNotify:
        if (fullscreen &&
            MouseMoveExceedsThreshold({frontEnd->anchorX, frontEnd->anchorY},
                                      {event->xmotion.x_root, event->xmotion.y_root}, kMouseMoveThreshold)) {
            EndRun(&frontEnd->run, 0);
        }
        return;
    case ConfigureNotify:
        return HandleConfigure(frontEnd, &event->xconfigure);
    case ClientMessage:
        if (IsCloseRequest(&frontEnd->saver, &event->xclient)) EndRun(&frontEnd->run, 0);
        return;
    case DestroyNotify:
        if (event->xdestroywindow.window == frontEnd->saver.window) {
            frontEnd->saver.window = 0;
            EndRun(&frontEnd->run, 0);
        }
        return;
    default:
        return;
    }
}
