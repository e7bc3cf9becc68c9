// The X11 run: the display and window opened, then X events and the tick
// timer on one thread, waiting on the connection and the signal pipe
// together.
#include <cstdio>

#include "app/signals.h"
#include "x11/x11.h"

namespace {

// Errors on the window mean it went away (an XScreenSaver window being
// destroyed); anything else is reported.
void CheckXErrors(X11Host* host) {
    unsigned long resource = 0;
    int error = TakeXError(&resource);
    if (!error) return;
    if (resource == host->saver.window || host->saver.window == 0) {
        EndRun(&host->run, 0);
        host->saver.window = 0;
        return;
    }
    char text[128] = "";
    XGetErrorText(host->display, error, text, sizeof text);
    fprintf(stderr, "zarvo: X error: %s (resource 0x%lx)\n", text, resource);
    EndRun(&host->run, 1);
}

void DrainEvents(X11Host* host) {
    while (host->run.running && XPending(host->display)) {
        XEvent event;
        XNextEvent(host->display, &event);
        HandleEvent(host, &event);
    }
    CheckXErrors(host);
}

void DrawDueTick(X11Host* host) {
    if (!TakeDueTick(&host->run, MonotonicMilliseconds())) return;
    DrawTick(host);
    CheckXErrors(host);
}

int ReportNoDisplay(const char* displayName) {
    const char* name = XDisplayName(displayName);
    if (name == nullptr || *name == '\0') {
        fprintf(stderr, "zarvo: cannot open a display: DISPLAY is not set and no --display was given\n");
        return 1;
    }
    fprintf(stderr, "zarvo: cannot open display \"%s\" (is an X server running there, and may you use it?)\n", name);
    return 1;
}

X11Host host;  // the scenes keep pointers into its image for the whole run

}  // namespace

void RunEventLoop(X11Host* host) {
    SceneRun* run = &host->run;
    while (run->running) {
        DrainEvents(host);
        if (!run->running) break;
        const int timeout = MillisecondsUntilTick(*run, MonotonicMilliseconds());
        if (WaitForDisplay(ConnectionNumber(host->display), host->signalFd, timeout) == kWaitSignalled) {
            return EndRun(run, 0);
        }
        DrawDueTick(host);
    }
}

int RunX11(const RunRequest& request) {
    if (request.options.background) {
        fprintf(stderr, "zarvo: --background is for Wayland; on X11, --root draws on the desktop\n");
        return 2;
    }
    const ZarvoOptions& options = request.options;
    host.options = options;
    BeginRun(&host.run, {request.settings, request.displaySettings, options.seedGiven, options.seed, options.frameLimit,
                         options.stillAfter});
    host.signalFd = OpenSignalPipe();
    host.display = XOpenDisplay(options.displayName);
    if (!host.display) return ReportNoDisplay(options.displayName);
    InstallXErrorHandler();
    char error[256];
    if (!OpenSaverWindow(host.display, &host.options, &host.saver, error, sizeof error)) {
        XCloseDisplay(host.display);
        fprintf(stderr, "zarvo: %s\n", error);
        return 1;
    }
    // A foreign window may be on screen already and never send an exposure,
    // and a full-screen window's size is known, so the server maps it while
    // the scene is set up and painted.
    if (!host.saver.owned || options.mode == kModeFullScreen) StartScene(&host);
    RunEventLoop(&host);
    EndScenes(&host.run);
    if (host.imageReady) DestroyWindowImage(host.display, &host.image);
    CloseSaverWindow(host.display, &host.saver);
    XCloseDisplay(host.display);
    return host.run.exitStatus;
}
