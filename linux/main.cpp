// zarvo: the scene on Linux, on X11 (in a window, full screen, or in a window
// that XScreenSaver or anyone names) or on Wayland, when a compositor answers.
#include <cstdio>
#include <cstdlib>

#include "app/idle_watcher.h"
#include "app/run_request.h"
#include "app/signals.h"
#include "x11/x11.h"
#ifdef ZARVO_WAYLAND
#include "wayland/wayland.h"
#endif

namespace {

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

int RunChosenProtocol(const RunRequest& request) {
    const int protocol = ChooseProtocol(request.options);
    if (protocol == kProtocolAuto) {
        const char* wayland = getenv("WAYLAND_DISPLAY");
        fprintf(stderr,
                "zarvo: no Wayland compositor answers at \"%s\" (WAYLAND_DISPLAY) and no X display is "
                "named (DISPLAY)\n",
                wayland && *wayland ? wayland : "wayland-0");
        return 1;
    }
#ifdef ZARVO_WAYLAND
    if (protocol == kProtocolWayland)
        return request.options.idleSeconds ? RunWaylandIdle(request) : RunWayland(request);
#endif
    const char* x11 = request.options.displayName ? request.options.displayName : getenv("DISPLAY");
    const char* wayland = request.options.protocol == kProtocolX11 ? nullptr : getenv("WAYLAND_DISPLAY");
    if (request.options.idleSeconds) return RefuseIdleWithoutWayland(x11, wayland);
    return RunX11(request);
}

}  // namespace

int main(int argc, char** argv) {
    // XScreenSaver may end a hack moments after starting it: until the
    // handler stands (OpenSignalPipe), a termination signal waits. The runs
    // that only print or store settings end with it still waiting, their
    // work done.
    HoldTerminationSignals();
    RunRequest request{};
    const int status = ReadRunRequest(argc, argv, &request);
    if (status >= 0) return status;
    return RunChosenProtocol(request);
}
