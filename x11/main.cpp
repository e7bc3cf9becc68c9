// zarvo: the scene as an X11 program, in a window, full screen, or in a window
// that XScreenSaver (or anyone) names.
#include <cstdlib>
#include <cstring>

#include "x11/zarvo.h"
#ifdef ZARVO_WAYLAND
#include "wayland/wayland.h"
#endif

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

// XScreenSaver's window is an X11 window, whatever else the session runs.
int ChooseProtocol(const ZarvoOptions& options) {
    const char* wayland = getenv("WAYLAND_DISPLAY");
    const char* x11 = options.displayName ? options.displayName : getenv("DISPLAY");
    const char* envWindow = getenv("XSCREENSAVER_WINDOW");
    int forced = options.protocol;
    if (forced == kProtocolAuto && envWindow != nullptr && *envWindow != '\0') forced = kProtocolX11;
#ifdef ZARVO_WAYLAND
    const int probe = forced == kProtocolAuto && wayland != nullptr && *wayland != '\0';
    return ChooseDisplayProtocol(forced, wayland, probe && WaylandAnswers(nullptr), x11);
#else
    if (forced == kProtocolWayland) return kProtocolAuto;
    return ChooseDisplayProtocol(forced, wayland, 0, x11);
#endif
}

#ifdef ZARVO_WAYLAND
int RunOnWayland(const FrontEnd& chosen) {
    const ZarvoOptions& options = chosen.options;
    if (options.mode == kModeRoot || options.mode == kModePreview) {
        fprintf(stderr, "zarvo: --root and --window-id draw into X11 windows; on Wayland use --fullscreen or "
                        "--background (or --x11)\n");
        return 2;
    }
    WaylandRun run{};
    run.kind = options.background ? kWaylandBackground
               : options.mode == kModeFullScreen ? kWaylandFullScreen : kWaylandWindow;
    run.layer = options.layer ? kLayerBottom : kLayerBackground;
    run.windowWidth = options.width;
    run.windowHeight = options.height;
    run.seed = options.seedGiven ? options.seed : SeedFromClock();
    run.frameLimit = options.frameLimit;
    run.stillAfter = options.stillAfter;
    run.settings = chosen.settings;
    run.display = chosen.displaySettings;
    const char* noLayerShell = getenv("ZARVO_WAYLAND_NO_LAYER_SHELL");
    run.ignoreLayerShell = noLayerShell != nullptr && *noLayerShell != '\0';
    run.signalFd = OpenSignalPipe();
    return RunWayland(run);
}
#endif

int RunChosenProtocol(FrontEnd* chosen) {
    const int protocol = ChooseProtocol(chosen->options);
    if (protocol == kProtocolAuto) {
        const char* wayland = getenv("WAYLAND_DISPLAY");
        fprintf(stderr, "zarvo: no Wayland compositor answers at \"%s\" (WAYLAND_DISPLAY) and no X display is "
                        "named (DISPLAY)\n", wayland && *wayland ? wayland : "wayland-0");
        return 1;
    }
#ifdef ZARVO_WAYLAND
    if (protocol == kProtocolWayland) return RunOnWayland(*chosen);
#endif
    if (chosen->options.background) {
        fprintf(stderr, "zarvo: --background is for Wayland; on X11, --root draws on the desktop\n");
        return 2;
    }
    return RunFrontEnd(chosen);
}

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
    return RunChosenProtocol(&frontEnd);
}
