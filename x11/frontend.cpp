// The scene driven by X events: set-up at the first exposure, the picture on
// every exposure, frames on the timer, and the inputs that end a run.
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
    if (frontEnd->scene) return PaintWindow(frontEnd);
    if (!StartScene(frontEnd)) frontEnd->running = 0;
}

}  // namespace

int StartScene(FrontEnd* frontEnd) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(frontEnd->display, frontEnd->saver.window, &attributes)) {
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
    SceneWindowInfo window{attributes.width, attributes.height, WidthOfScreen(attributes.screen),
                           attributes.depth, nullptr};
    uint32_t seed = frontEnd->options.seedGiven ? frontEnd->options.seed : SeedFromClock();
    const SceneSetUp setUp = SetUpScene(window, &frontEnd->output.surface, frontEnd->settings, seed);
    if (setUp.outcome == kSceneRefused) ShowUserMessage(kMinimumConfigurationText, kSceneMessageCaption);
    if (setUp.outcome == kSceneFailed) {
        fprintf(stderr, "zarvo: the scene could not be set up (pictures missing or damaged)\n");
    }
    frontEnd->scene = setUp.scene;
    if (frontEnd->scene == nullptr) {
        End(frontEnd, 1);
        return 0;
    }
    frontEnd->animating = SceneAnimates(*frontEnd->scene) && frontEnd->options.frameLimit != 0;
    frontEnd->nextFrameMs = MonotonicMilliseconds() + HostFramePeriod(*frontEnd->scene);
    PaintWindow(frontEnd);
    return 1;
}

void PaintWindow(FrontEnd* frontEnd) {
    FrameOutput* output = &frontEnd->output;
    PaintScene(*frontEnd->scene, &output->surface);
    SceneRect whole{0, 0, output->surface.width, output->surface.height};
    PutFrameRect(frontEnd->display, frontEnd->saver.window, output, whole);
}

void DrawFrame(FrontEnd* frontEnd) {
    ComposeFrame(*frontEnd->scene);
    PresentFrame(*frontEnd->scene);
    PutFrameRect(frontEnd->display, frontEnd->saver.window, &frontEnd->output, FrameWindowRect(*frontEnd->scene));
    ++frontEnd->framesDrawn;
    long limit = frontEnd->options.frameLimit;
    if (limit >= 0 && frontEnd->framesDrawn >= limit) frontEnd->animating = 0;
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
