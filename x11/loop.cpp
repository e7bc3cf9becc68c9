// The event loop: X events and the frame timer on one thread, waiting on the
// connection and the signal pipe together.
#include "app/frame_clock.h"
#include "app/signals.h"
#include "x11/frontend.h"

namespace {

// Errors on the window mean it went away (an XScreenSaver window being
// destroyed); anything else is reported.
void CheckXErrors(FrontEnd* frontEnd) {
    unsigned long resource = 0;
    int error = TakeXError(&resource);
    if (!error) return;
    if (resource == frontEnd->saver.window || frontEnd->saver.window == 0) {
        EndRun(&frontEnd->run, 0);
        frontEnd->saver.window = 0;
        return;
    }
    char text[128] = "";
    XGetErrorText(frontEnd->display, error, text, sizeof text);
    fprintf(stderr, "zarvo: X error: %s (resource 0x%lx)\n", text, resource);
    EndRun(&frontEnd->run, 1);
}

void DrainEvents(FrontEnd* frontEnd) {
    while (frontEnd->run.running && XPending(frontEnd->display)) {
        XEvent event;
        XNextEvent(frontEnd->display, &event);
        HandleEvent(frontEnd, &event);
    }
    CheckXErrors(frontEnd);
}

void DrawDueFrame(FrontEnd* frontEnd) {
    if (!TakeDueFrame(&frontEnd->run, MonotonicMilliseconds())) return;
    DrawFrame(frontEnd);
    CheckXErrors(frontEnd);
}

}  // namespace

void RunEventLoop(FrontEnd* frontEnd) {
    SceneRun* run = &frontEnd->run;
    while (run->running) {
        DrainEvents(frontEnd);
        if (!run->running) break;
        const int timeout = MillisecondsUntilFrame(*run, MonotonicMilliseconds());
        if (WaitForDisplay(ConnectionNumber(frontEnd->display), frontEnd->signalFd, timeout) == kWaitSignalled) {
            return EndRun(run, 0);
        }
        DrawDueFrame(frontEnd);
    }
}
