// The scene driven by X events: set-up at the first exposure, the picture on
// every exposure, frames on the timer, and the inputs that end a run.
#include <algorithm>

#include "x11/zarvo.h"

namespace {

void End(FrontEnd* frontEnd, int status) {
    frontEnd->running = 0;
    frontEnd->exitStatus = status;
}

void QueryAnchor(FrontEnd* frontEnd) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(frontEnd->display, frontEnd->saver.window, &root, &child, &rootX, &rootY, &x,
                      &y, &buttons)) {
        frontEnd->anchorX = rootX;
        frontEnd->anchorY = rootY;
    }
}

void HandleKey(FrontEnd* frontEnd, XKeyEvent* key) {
    if (frontEnd->options.mode == kModeFullScreen) return End(frontEnd, 0);
    if (frontEnd->saver.owned && KeyClosesWindow(XLookupKeysym(key, 0))) End(frontEnd, 0);
}

void HandleExpose(FrontEnd* frontEnd, const XExposeEvent* expose) {
    if (expose->count > 0) return;  // the last of a series repaints once
    if (frontEnd->outputReady) {
        // Sent before the server took the first band of the last paint, which covers it.
        if (expose->serial < frontEnd->paintSerial) return;
        return PaintWindow(frontEnd);
    }
    if (!StartScene(frontEnd)) frontEnd->running = 0;
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
    EndScenes(frontEnd);
    DestroyFrameOutput(frontEnd->display, &frontEnd->output);
    frontEnd->outputReady = 0;
    if (!StartScene(frontEnd)) frontEnd->running = 0;
}

// The window's surface from an area's top-left corner on: the view draws in
// the area's own coordinates.
RgbPixels AreaPixels(FrameOutput* output, const WindowArea& area) {
    const RgbSurface& surface = output->surface;
    uint32_t* origin = surface.pixels + static_cast<size_t>(area.rect.y) * static_cast<size_t>(surface.pitch) +
                       static_cast<size_t>(area.rect.x);
    return RgbPixels{origin, surface.pitch, Rect{0, 0, area.rect.width, area.rect.height}};
}

// The rows [top, bottom) of the window that lie in an area, in the area's
// own coordinates; an empty area when none do.
RgbPixels AreaBand(FrameOutput* output, const WindowArea& area, int top, int bottom) {
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
        const Rect& r = monitors[i].rect;
        const int left = std::max(r.x, 0), top = std::max(r.y, 0);
        const int right = std::min(r.x + r.width, window.width), bottom = std::min(r.y + r.height, window.height);
        if (right <= left || bottom <= top) continue;
        monitors[inside++] = {{left, top, right - left, bottom - top}, monitors[i].primary};
    }
    if (inside == 0) return PlanMonitors(&whole, 1, kMonitorsAll, seed, plans);
    return PlanMonitors(monitors, inside, frontEnd->displaySettings.monitors, seed, plans);
}

// The scene and view of one area. 0 when the primary's scene refused or
// failed, which ends the run as on a single screen; another monitor's
// refusal leaves it black.
int StartAreaScene(FrontEnd* frontEnd, const XWindowAttributes& window, const MonitorPlan& plan, WindowArea* area) {
    const bool fullscreen = frontEnd->options.mode == kModeFullScreen;
    const int screenWidth = fullscreen ? plan.rect.width : WidthOfScreen(window.screen);
    SceneWindowInfo info{plan.rect.width, plan.rect.height, screenWidth, window.depth, nullptr};
    PictureSize pictureSize = frontEnd->displaySettings.pictureSize;
    // A narrow full screen keeps its refusal: it is a display below the minimum.
    if (!fullscreen) info = ShrinkSmallArea(info, &pictureSize);
    const SceneSetUp setUp = SetUpScene(info, frontEnd->settings, plan.seed);
    if (setUp.scene != nullptr) {
        area->scene = setUp.scene;
        area->view = CreateScreenView(setUp.scene, pictureSize, plan.rect.width, plan.rect.height);
        if (area->view == nullptr) {
            fprintf(stderr, "zarvo: out of memory\n");
            End(frontEnd, 1);
            return 0;
        }
        if (plan.primary || frontEnd->lead == nullptr) frontEnd->lead = setUp.scene;
        return 1;
    }
    if (!plan.primary) return 1;
    if (setUp.outcome == kSceneRefused) ShowMinimumRefusal("zarvo", plan.rect.width, plan.rect.height, window.depth, nullptr);
    if (setUp.outcome == kSceneFailed) {
        fprintf(stderr, "zarvo: the scene could not be set up (pictures missing or damaged)\n");
    }
    End(frontEnd, 1);
    return 0;
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
        End(frontEnd, 0);  // the window went away before it could be drawn
        return 0;
    }
    if (!CreateFrameOutput(frontEnd->display, frontEnd->saver.window, frontEnd->saver.visual,
                           frontEnd->saver.depth, attributes.width, attributes.height,
                           !frontEnd->options.noShm, &frontEnd->output)) {
        fprintf(stderr, "zarvo: could not create a %dx%d image for the window\n", attributes.width,
                attributes.height);
        End(frontEnd, 1);
        return 0;
    }
    frontEnd->outputReady = 1;
    MonitorPlan plans[kMaxMonitors];
    const uint32_t seed = frontEnd->options.seedGiven ? frontEnd->options.seed : SeedFromClock();
    frontEnd->areaCount = PlanWindowAreas(frontEnd, attributes, seed, plans);
    // Mapped only now: attaching the shared memory and asking for the
    // monitors wait for the server, which would otherwise be busy mapping and
    // clearing a screen-sized window; while it does, the image's pages are
    // mapped and the scenes set up and painted here.
    if (frontEnd->options.mode == kModeFullScreen && frontEnd->saver.owned) {
        ShowFullScreenWindow(frontEnd->display, &frontEnd->saver);
    }
    PopulateFrameOutput(&frontEnd->output);
    for (int i = 0; i < frontEnd->areaCount; ++i) {
        frontEnd->areas[i].rect = plans[i].rect;
        if (plans[i].showsScene && !StartAreaScene(frontEnd, attributes, plans[i], &frontEnd->areas[i])) return 0;
    }
    if (frontEnd->lead == nullptr) {  // no area got a scene: a still, black window
        PaintWindow(frontEnd);
        return 1;
    }
    frontEnd->sceneFramesDrawn = 0;
    frontEnd->animating = SceneAnimates(*frontEnd->lead) && frontEnd->options.stillAfter != 0;
    frontEnd->nextFrameMs = MonotonicMilliseconds() + HostFramePeriod(*frontEnd->lead);
    PaintWindow(frontEnd);
    if (frontEnd->options.frameLimit == 0) End(frontEnd, 0);
    return 1;
}

void EndScenes(FrontEnd* frontEnd) {
    for (WindowArea& area : frontEnd->areas) {
        DestroyScreenView(area.view);
        DestroyScene(area.scene);
        area = WindowArea{};
    }
    frontEnd->areaCount = 0;
    frontEnd->lead = nullptr;
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
        for (int i = 0; i < frontEnd->areaCount; ++i) {
            const WindowArea& area = frontEnd->areas[i];
            const RgbPixels band = AreaBand(output, area, top, bottom);
            if (area.view && band.area.height > 0) PaintScreenView(*area.view, band);
        }
        SendFrameRect(frontEnd->display, frontEnd->saver.window, output, Rect{0, top, width, bottom - top});
        XFlush(frontEnd->display);
    }
    WaitForFrameRects(frontEnd->display, output);
}

void DrawFrame(FrontEnd* frontEnd) {
    for (int i = 0; i < frontEnd->areaCount; ++i) {
        const WindowArea& area = frontEnd->areas[i];
        if (area.view == nullptr) continue;
        TickScreenView(*area.view, AreaPixels(&frontEnd->output, area));
        Rect rects[kMaxViewChanges];
        for (int k = 0; k < area.view->changedCount; ++k) {
            const Rect changed = area.view->changed[k];
            rects[k] = Rect{area.rect.x + changed.x, area.rect.y + changed.y, changed.width, changed.height};
        }
        PutFrameRects(frontEnd->display, frontEnd->saver.window, &frontEnd->output, rects, area.view->changedCount);
    }
    ++frontEnd->framesDrawn;
    ++frontEnd->sceneFramesDrawn;
    const long still = frontEnd->options.stillAfter;
    if (still >= 0 && frontEnd->sceneFramesDrawn >= still) frontEnd->animating = 0;
    const long limit = frontEnd->options.frameLimit;
    if (limit >= 0 && frontEnd->framesDrawn >= limit) End(frontEnd, 0);
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
            if (fullscreen) End(frontEnd, 0);
            return;
        case MotionNotify:
            if (fullscreen &&
                MouseMoveExceedsThreshold({frontEnd->anchorX, frontEnd->anchorY},
                                          {event->xmotion.x_root, event->xmotion.y_root},
                                          kMouseMoveThreshold)) {
                End(frontEnd, 0);
            }
            return;
        case ConfigureNotify:
            return HandleConfigure(frontEnd, &event->xconfigure);
        case ClientMessage:
            if (IsCloseRequest(&frontEnd->saver, &event->xclient)) End(frontEnd, 0);
            return;
        case DestroyNotify:
            if (event->xdestroywindow.window == frontEnd->saver.window) {
                frontEnd->saver.window = 0;
                End(frontEnd, 0);
            }
            return;
        default:
            return;
    }
}
