// The surfaces' roles: an overlay or background layer surface on each
// output, or an xdg toplevel (the window mode, and full screen where the
// compositor offers no layer-shell); their configure and close events.
#include <cstdio>
#include <cstdlib>

#include "wayland/fractional-scale-v1-client.h"
#include "wayland/viewporter-client.h"
#include "wayland/wayland.h"
#include "wayland/layer_shell.h"
#include "wayland/xdg-shell-client.h"

namespace {

WaylandSurface* Surface(void* data) { return static_cast<WaylandSurface*>(data); }

// A surface the compositor took away ends a window run; on the outputs the
// run ends once none is left (the outputs went, or a locker dropped them).
void CloseSurface(WaylandSurface* surface) {
    surface->closed = 1;
    EndSurfaceScene(surface);
    DestroyBuffers(surface);
    WaylandHost* host = surface->host;
    if (OpenSurfaceCount(host) == 0) EndRun(&host->run, 0);
}

void OnLayerConfigure(void* data, zwlr_layer_surface_v1* layer, uint32_t serial, uint32_t width, uint32_t height) {
    WaylandSurface* surface = Surface(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    surface->logicalWidth = static_cast<int>(width);
    surface->logicalHeight = static_cast<int>(height);
    surface->configured = 1;
    ShowConfiguredSurface(surface);
}

void OnLayerClosed(void* data, zwlr_layer_surface_v1*) { CloseSurface(Surface(data)); }

const zwlr_layer_surface_v1_listener kLayerListener = {OnLayerConfigure, OnLayerClosed};

void OnXdgConfigure(void* data, xdg_surface* xdgSurface, uint32_t serial) {
    WaylandSurface* surface = Surface(data);
    xdg_surface_ack_configure(xdgSurface, serial);
    surface->logicalWidth = surface->pendingWidth;
    surface->logicalHeight = surface->pendingHeight;
    surface->configured = 1;
    ShowConfiguredSurface(surface);
}

const xdg_surface_listener kXdgSurfaceListener = {OnXdgConfigure};

// Zero leaves the size to the client: it keeps the one it has (at first
// the --geometry size).
void OnToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*) {
    WaylandSurface* surface = Surface(data);
    if (width > 0) surface->pendingWidth = width;
    if (height > 0) surface->pendingHeight = height;
}

void OnToplevelClose(void* data, xdg_toplevel*) { EndRun(&Surface(data)->host->run, 0); }

void OnBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void OnCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener kToplevelListener = {OnToplevelConfigure, OnToplevelClose, OnBounds, OnCapabilities};

void OnPreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale) {
    WaylandSurface* surface = Surface(data);
    if (static_cast<int>(scale) == surface->preferredScale) return;
    surface->preferredScale = static_cast<int>(scale);
    if (surface->configured) ShowConfiguredSurface(surface);
}

const wp_fractional_scale_v1_listener kFractionalListener = {OnPreferredScale};

void OnEnter(void* data, wl_surface*, wl_output* output) {
    WaylandSurface* surface = Surface(data);
    if (surface->enteredCount < kMaxMonitors) surface->entered[surface->enteredCount++] = output;
    RescaleWindow(surface);
}

void OnLeave(void* data, wl_surface*, wl_output* output) {
    WaylandSurface* surface = Surface(data);
    for (int i = 0; i < surface->enteredCount; ++i) {
        if (surface->entered[i] == output) surface->entered[i--] = surface->entered[--surface->enteredCount];
    }
    RescaleWindow(surface);
}

// Designated, so the events of later protocol versions stay unset.
const wl_surface_listener kWindowSurfaceListener = {.enter = OnEnter, .leave = OnLeave};

// The largest whole scale of the listed outputs the window is on; an output
// that went away no longer counts.
int EnteredScale(const WaylandSurface* surface) {
    const WaylandHost* host = surface->host;
    int scale = 1;
    for (int i = 0; i < surface->enteredCount; ++i) {
        for (int k = 0; k < host->outputCount; ++k) {
            if (host->outputs[k]->output == surface->entered[i] && host->outputs[k]->scale > scale) {
                scale = host->outputs[k]->scale;
            }
        }
    }
    return scale;
}

WaylandSurface* NewSurface(WaylandHost* host) {
    WaylandSurface* surface = static_cast<WaylandSurface*>(calloc(1, sizeof(WaylandSurface)));
    if (surface == nullptr) return nullptr;
    surface->host = host;
    surface->surface = wl_compositor_create_surface(host->compositor);
    surface->shown = -1;
    surface->area = -1;
    surface->scale = 1;
    // Fractional scale comes with a viewport that sets the logical size of
    // a buffer of device pixels; without both the whole scale stands.
    if (host->fractionalManager && host->viewporter) {
        surface->viewport = wp_viewporter_get_viewport(host->viewporter, surface->surface);
        surface->fractionalScale =
            wp_fractional_scale_manager_v1_get_fractional_scale(host->fractionalManager, surface->surface);
        wp_fractional_scale_v1_add_listener(surface->fractionalScale, &kFractionalListener, surface);
    }
    return surface;
}

}  // namespace

WaylandSurface* CreateLayerSurface(WaylandHost* host, WaylandOutput* output) {
    WaylandSurface* surface = NewSurface(host);
    if (surface == nullptr) return nullptr;
    const int fullscreen = host->kind == kWaylandFullScreen;
    surface->output = output;
    surface->scale = output->scale;
    const uint32_t layer = static_cast<uint32_t>(fullscreen            ? kLayerOverlay
                                                 : host->options.layer ? kLayerBottom
                                                                       : kLayerBackground);
    surface->layerSurface = zwlr_layer_shell_v1_get_layer_surface(host->layerShell, surface->surface, output->output,
                                                                  layer, fullscreen ? "zarvo" : "zarvo-background");
    zwlr_layer_surface_v1_set_anchor(surface->layerSurface,
                                     ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(surface->layerSurface, 0, 0);
    zwlr_layer_surface_v1_set_exclusive_zone(surface->layerSurface, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(surface->layerSurface,
                                                     fullscreen ? ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_EXCLUSIVE
                                                                : ZWLR_LAYER_SURFACE_V1_KEYBOARD_INTERACTIVITY_NONE);
    zwlr_layer_surface_v1_add_listener(surface->layerSurface, &kLayerListener, surface);
    wl_surface_commit(surface->surface);
    return surface;
}

WaylandSurface* CreateWindowSurface(WaylandHost* host, int fullscreen) {
    WaylandSurface* surface = NewSurface(host);
    if (surface == nullptr) return nullptr;
    surface->pendingWidth = host->options.width;
    surface->pendingHeight = host->options.height;
    wl_surface_add_listener(surface->surface, &kWindowSurfaceListener, surface);
    surface->xdgSurface = xdg_wm_base_get_xdg_surface(host->wmBase, surface->surface);
    xdg_surface_add_listener(surface->xdgSurface, &kXdgSurfaceListener, surface);
    surface->toplevel = xdg_surface_get_toplevel(surface->xdgSurface);
    xdg_toplevel_add_listener(surface->toplevel, &kToplevelListener, surface);
    xdg_toplevel_set_title(surface->toplevel, "zarvo");
    xdg_toplevel_set_app_id(surface->toplevel, "zarvo");
    if (fullscreen) xdg_toplevel_set_fullscreen(surface->toplevel, nullptr);
    wl_surface_commit(surface->surface);
    return surface;
}

void DestroyWaylandSurface(WaylandSurface* surface) {
    EndSurfaceScene(surface);
    if (surface->frameCallback) wl_callback_destroy(surface->frameCallback);
    if (surface->fractionalScale) wp_fractional_scale_v1_destroy(surface->fractionalScale);
    if (surface->viewport) wp_viewport_destroy(surface->viewport);
    if (surface->layerSurface) zwlr_layer_surface_v1_destroy(surface->layerSurface);
    if (surface->toplevel) xdg_toplevel_destroy(surface->toplevel);
    if (surface->xdgSurface) xdg_surface_destroy(surface->xdgSurface);
    wl_surface_destroy(surface->surface);
    DestroyBuffers(surface);
    free(surface);
}

void RescaleWindow(WaylandSurface* window) {
    const int scale = EnteredScale(window);
    if (scale == window->scale) return;
    window->scale = scale;
    if (window->configured) ShowConfiguredSurface(window);
}

int OpenSurfaceCount(const WaylandHost* host) {
    int open = host->window && !host->window->closed ? 1 : 0;
    for (int i = 0; i < host->outputCount; ++i) {
        const WaylandSurface* surface = host->outputs[i]->surface;
        if (surface && !surface->closed) ++open;
    }
    return open;
}
