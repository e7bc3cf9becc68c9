// zarvo: the scene as an X11 program, in a window, full screen, or in a window
// that XScreenSaver (or anyone) names.
#include <cstdlib>
#include <cstring>

#include "x11/zarvo.h"

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
    frontEnd->running = 1;
    if (StartsBeforeExposure(frontEnd)) StartScene(frontEnd);
    RunEventLoop(frontEnd);
    EndScenes(frontEnd);
    if (frontEnd->outputReady) DestroyFrameOutput(frontEnd->display, &frontEnd->output);
    CloseSaverWindow(frontEnd->display, &frontEnd->saver);
    XCloseDisplay(frontEnd->display);
    return frontEnd->exitStatus;
}

FrontEnd frontEnd;  // the scene keeps a pointer to its surface for the whole run

}  // namespace

int main(int argc, char** argv) {
    // XScreenSaver may end a hack moments after starting it: until the
    // handler stands (RunFrontEnd), a termination signal waits. The runs that
    // only print or store settings end with it still waiting, their work done.
    HoldTerminationSignals();
    char error[256];
    if (!ParseOptions(argc, argv, &frontEnd.options, error, sizeof error) ||
        !ApplyScreenSaverWindow(&frontEnd.options, getenv("XSCREENSAVER_WINDOW"), error,
                                sizeof error)) {
        fprintf(stderr, "zarvo: %s\nTry 'zarvo --help' for the options.\n", error);
        return 2;
    }
    if (frontEnd.options.help) {
        PrintHelp(stdout);
        return 0;
    }
    if (frontEnd.options.version) {
        printf("zarvo %s\n", kZarvoVersion);
        return 0;
    }
    if (frontEnd.options.showSettings) return ShowSettings();
    if (frontEnd.options.resetSettings) return ResetSettings();
    ChooseSettings(&frontEnd.options, getenv("XSCREENSAVER_WINDOW"), &frontEnd.settings,
                   &frontEnd.displaySettings);
    if (frontEnd.options.save) return SaveSettings(&frontEnd.options, frontEnd.settings, frontEnd.displaySettings);
    ReportRunWarnings(&frontEnd.options);
    return RunFrontEnd(&frontEnd);
}
