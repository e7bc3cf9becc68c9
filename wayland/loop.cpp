// The Wayland run: surfaces made for the mode, then one thread waiting on
// the connection, the signal pipe and the next frame's time; each due tick
// draws every surface the compositor is ready for.
#include <poll.h>

#include <cerrno>
#include <cstdio>

#include "wayland/wayland.h"

namespace {

// The scene that times the frames: the first output's, or the first shown.
const Scene* LeadScene(const WaylandHost* host) {
    if (host->window && host->window->scene) return host->window->scene;
    const Scene* lead = nullptr;
    int leadOrdinal = 0;
    for (int i = 0; i < host->outputCount; ++i) {
        const WaylandSurface* surface = host->outputs[i]->surface;
        if (surface == nullptr || surface->scene == nullptr) continue;
        if (lead == nullptr || surface->ordinal < leadOrdinal) {
            lead = surface->scene;
            leadOrdinal = surface->ordinal;
        }
    }
    return lead;
}

int AnyAnimating(const WaylandHost* host) {
    if (host->window && host->window->animating) return 1;
    for (int i = 0; i < host->outputCount; ++i) {
        if (host->outputs[i]->surface && host->outputs[i]->surface->animating) return 1;
    }
    return 0;
}

int DrawSurfaces(WaylandHost* host) {
    int drawn = host->window ? DrawSurfaceFrame(host->window) : 0;
    for (int i = 0; i < host->outputCount; ++i) {
        if (host->outputs[i]->surface) drawn |= DrawSurfaceFrame(host->outputs[i]->surface);
    }
    return drawn;
}

int TimeUntilFrame(const WaylandHost* host) {
    // A run whose scenes all stand still waits for input or a signal only.
    if (!host->timing || LeadScene(host) == nullptr || !AnyAnimating(host)) return -1;
    const int64_t wait = host->nextFrameMs - MonotonicMilliseconds();
    if (wait < 0) return 0;
    return wait > 1000000 ? 1000000 : static_cast<int>(wait);
}

void DrawDueFrame(WaylandHost* host) {
    const Scene* lead = LeadScene(host);
    if (!host->timing || lead == nullptr) return;
    const int64_t now = MonotonicMilliseconds();
    if (now < host->nextFrameMs) return;
    if (DrawSurfaces(host)) ++host->framesDrawn;
    // A frame that ran late delays the next one; frames never pile up.
    host->nextFrameMs += HostFramePeriod(*lead);
    if (host->nextFrameMs < now) host->nextFrameMs = now;
    const long limit = host->run.frameLimit;
    if (limit >= 0 && host->framesDrawn >= limit) EndRun(host, 0);
}

void ReportLostCompositor(WaylandHost* host) {
    fprintf(stderr, "zarvo: the Wayland compositor closed the connection\n");
    EndRun(host, 1);
}

// Reads what the compositor sent, if anything, and handles it.
void DispatchEvents(WaylandHost* host, int readable) {
    if (readable) {
        if (wl_display_read_events(host->display) < 0) return ReportLostCompositor(host);
    } else {
        wl_display_cancel_read(host->display);
    }
    if (wl_display_dispatch_pending(host->display) < 0) ReportLostCompositor(host);
}

// One wait: on the connection, the signal pipe and the next frame's time.
void WaitOnce(WaylandHost* host) {
    while (wl_display_prepare_read(host->display) != 0) {
        if (wl_display_dispatch_pending(host->display) < 0) return ReportLostCompositor(host);
    }
    if (wl_display_flush(host->display) < 0 && errno != EAGAIN) {
        wl_display_cancel_read(host->display);
        return ReportLostCompositor(host);
    }
    pollfd watched[2] = {{wl_display_get_fd(host->display), POLLIN, 0}, {host->run.signalFd, POLLIN, 0}};
    const nfds_t count = host->run.signalFd >= 0 ? 2 : 1;
    const int ready = poll(watched, count, TimeUntilFrame(host));
    if (ready > 0 && count == 2 && (watched[1].revents & POLLIN)) {
        wl_display_cancel_read(host->display);
        return EndRun(host, 0);
    }
    if (ready > 0 && (watched[0].revents & (POLLERR | POLLHUP)) && !(watched[0].revents & POLLIN)) {
        wl_display_cancel_read(host->display);
        return ReportLostCompositor(host);
    }
    DispatchEvents(host, ready > 0 && (watched[0].revents & POLLIN));
}

// The surfaces of the mode. 1 on success.
int CreateSurfaces(WaylandHost* host) {
    if (host->run.kind != kWaylandWindow && host->layerShell) return 1;  // made as each output is described
    if (host->run.kind == kWaylandBackground) {
        fprintf(stderr, "zarvo: --background needs a compositor with the layer shell (zwlr_layer_shell_v1)\n");
        return 0;
    }
    if (host->wmBase == nullptr) {
        fprintf(stderr, "zarvo: the Wayland compositor offers no xdg_wm_base for a window\n");
        return 0;
    }
    const int fullscreen = host->run.kind == kWaylandFullScreen;
    if (fullscreen) {
        fprintf(stderr, "zarvo: the compositor has no layer shell; covering one output with a full-screen window\n");
    }
    host->window = CreateWindowSurface(host, fullscreen);
    return host->window != nullptr;
}

WaylandHost host;  // listeners keep pointers into it for the whole run

}  // namespace

int RunWayland(const WaylandRun& run) {
    host = WaylandHost{};
    host.run = run;
    host.running = 1;
    if (!ConnectWayland(&host)) {
        if (host.display) DisconnectWayland(&host);
        return 1;
    }
    if (!CreateSurfaces(&host)) EndRun(&host, 1);
    while (host.running) {
        WaitOnce(&host);
        if (host.running) DrawDueFrame(&host);
    }
    // On a lost connection the requests go nowhere, but the memory is freed.
    DisconnectWayland(&host);
    return host.exitStatus;
}
