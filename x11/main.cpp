// zarvo: the scene as an X11 program, in a window, full screen, or in a window
// that XScreenSaver (or anyone) names.
#include <cstdlib>
#include <cstring>

#include "app/run_request.h"
#include "app/signals.h"
#include "x11/frontend.h"

namespace {

int Fail(const char* message) {
    fprintf(stderr, "zarvo: %s\n", message);
    return 1;
}

int ReportNoDisplay(const char* displayName) {
    const char* name = XDisplayName(displayName);
    if (name == nullptr || *name == '\0') {
        return Fail("cannot open a display: DISPLAY is not set and no --display was given");
    }
    fprintf(stderr, "zarvo: cannot open display \"%s\" (is an X server running there, and may you use it?)\n",
            name);
    return 1;
}

int RunFrontEnd(FrontEnd* frontEnd) {
    frontEnd->signalFd = OpenSignalPipe();
    frontEnd->display = XOpenDisplay(frontEnd->options.displayName);
    if (!frontEnd->display) return ReportNoDisplay(frontEnd->options.displayName);
    InstallXErrorHandler();
    char error[256];
    if (!OpenSaverWindow(frontEnd->display, &frontEnd->options, &frontEnd->saver, error,
                         sizeof error)) {
        XCloseDisplay(frontEnd->display);
        return Fail(error);
    }
    frontEnd->run.running = 1;
    if (StartsBeforeExposure(frontEnd)) StartScene(frontEnd);
    RunEventLoop(frontEnd);
    EndScenes(&frontEnd->run);
    if (frontEnd->outputReady) DestroyFrameOutput(frontEnd->display, &frontEnd->output);
    CloseSaverWindow(frontEnd->display, &frontEnd->saver);
    XCloseDisplay(frontEnd->display);
    return frontEnd->run.exitStatus;
}

FrontEnd frontEnd;  // the scene keeps a pointer to its surface for the whole run

}  // namespace

int main(int argc, char** argv) {
    // XScreenSaver may end a hack moments after starting it: until the
    // handler stands (RunFrontEnd), a termination signal waits. The runs that
    // only print or store settings end with it still waiting, their work done.
    HoldTerminationSignals();
    RunRequest request{};
    const int status = ReadRunRequest(argc, argv, &request);
    if (status >= 0) return status;
    frontEnd.options = request.options;
    frontEnd.settings = request.settings;
    frontEnd.displaySettings = request.displaySettings;
    frontEnd.run.frameLimit = request.options.frameLimit;
    frontEnd.run.stillAfter = request.options.stillAfter;
    return RunFrontEnd(&frontEnd);
}
