// The Wayland run: surfaces made for the mode, then one thread waiting on
// the connection, the signal pipe and the next tick's time; each due tick
// draws every surface the compositor is ready for.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "app/signals.h"
#include "wayland/wayland.h"

namespace {

void ForEachSurface(WaylandHost* host, void (*each)(WaylandSurface*)) {
    if (host->window) each(host->window);
    for (int i = 0; i < host->outputCount; ++i) {
        if (host->outputs[i]->surface) each(host->outputs[i]->surface);
    }
}

void DrawDueTick(WaylandHost* host) {
    if (!TakeDueTick(&host->run, MonotonicMilliseconds())) return;
    ForEachSurface(host, DrawSurfaceTick);
    CountTick(&host->run);
}

void ReportLostCompositor(WaylandHost* host) {
    fprintf(stderr, "zarvo: the Wayland compositor closed the connection\n");
    host->ended = 1;
    EndRun(&host->run, 1);
}

}  // namespace

void WaitForWayland(WaylandHost* host) {
    while (wl_display_prepare_read(host->display) != 0) {
        if (wl_display_dispatch_pending(host->display) < 0) return ReportLostCompositor(host);
    }
    if (wl_display_flush(host->display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(host->display);
        return ReportLostCompositor(host);
    }
    const int timeout = MillisecondsUntilTick(host->run, MonotonicMilliseconds());
    const DisplayWait woken = WaitForDisplay(wl_display_get_fd(host->display), host->signalFd, timeout);
    if (woken == kWaitSignalled) {
        wl_display_cancel_read(host->display);
        host->ended = 1;
        return EndRun(&host->run, 0);
    }
    if (woken != kWaitDisplay) {
        wl_display_cancel_read(host->display);
    } else if (wl_display_read_events(host->display) < 0) {
        return ReportLostCompositor(host);
    }
    if (wl_display_dispatch_pending(host->display) < 0) ReportLostCompositor(host);
}

int CreateSurfaces(WaylandHost* host) {
    if (host->kind != kWaylandWindow && host->layerShell) {
        // Each output described later gets its surface then.
        for (int i = 0; i < host->outputCount; ++i) {
            WaylandOutput* output = host->outputs[i];
            if (output->ready && output->surface == nullptr) output->surface = CreateLayerSurface(host, output);
        }
        return 1;
    }
    if (host->kind == kWaylandBackground) {
        fprintf(stderr, "zarvo: --background needs a compositor with the layer shell (zwlr_layer_shell_v1)\n");
        return 0;
    }
    if (host->wmBase == nullptr) {
        fprintf(stderr, "zarvo: the Wayland compositor offers no xdg_wm_base for a window\n");
        return 0;
    }
    const int fullscreen = host->kind == kWaylandFullScreen;
    if (fullscreen) {
        fprintf(stderr, "zarvo: the compositor has no layer shell; covering one output with a full-screen window\n");
    }
    host->window = CreateWindowSurface(host, fullscreen);
    return host->window != nullptr;
}

void StartRun(WaylandHost* host) { BeginRun(&host->run, host->choices); }

int SetUpWaylandHost(WaylandHost* host, const RunRequest& request, int kind) {
    const ZarvoOptions& options = request.options;
    host->options = options;
    host->choices = {request.settings, request.displaySettings, options.seedGiven,
                     options.seed,     options.frameLimit,      options.stillAfter};
    host->kind = kind;
    // A switch for tests of the compositors that offer no layer shell.
    const char* noLayerShell = getenv("ZARVO_WAYLAND_NO_LAYER_SHELL");
    host->ignoreLayerShell = noLayerShell != nullptr && *noLayerShell != '\0';
    host->signalFd = OpenSignalPipe();
    // The run begins before connecting, as the outputs' surfaces are made as
    // they are described; --idle begins one at each cover instead.
    if (options.idleSeconds == 0) StartRun(host);
    if (ConnectWayland(host)) return 1;
    if (host->display) DisconnectWayland(host);
    return 0;
}

void RunTicks(WaylandHost* host) {
    while (host->run.running) {
        WaitForWayland(host);
        if (host->run.running) DrawDueTick(host);
        if (host->run.running) ForEachSurface(host, CatchUpSurface);
    }
}

namespace {

WaylandHost host;  // listeners keep pointers into it for the whole run

}  // namespace

int RunWayland(const RunRequest& request) {
    host = WaylandHost{};
    const ZarvoOptions& options = request.options;
    if (options.mode == kModeRoot || options.mode == kModePreview) {
        fprintf(stderr,
                "zarvo: --root and --window-id draw into X11 windows; on Wayland use --fullscreen or "
                "--background (or --x11)\n");
        return 2;
    }
    const int kind = options.background                ? kWaylandBackground
                     : options.mode == kModeFullScreen ? kWaylandFullScreen
                                                       : kWaylandWindow;
    if (!SetUpWaylandHost(&host, request, kind)) return 1;
    if (!CreateSurfaces(&host)) EndRun(&host.run, 1);
    RunTicks(&host);
    // On a lost connection the requests go nowhere, but the memory is freed.
    DisconnectWayland(&host);
    EndScenes(&host.run);
    return host.run.exitStatus;
}
