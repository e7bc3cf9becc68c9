// The connection to the compositor: the globals zarvo binds from the
// registry, and the first round trips that describe the outputs.
#include <cstdio>
#include <cstring>

#include "wayland/fractional-scale-v1-client.h"
#include "wayland/viewporter-client.h"
#include "wayland/wayland.h"
#include "wayland/layer_shell.h"
#include "wayland/xdg-shell-client.h"

namespace {

WaylandHost* Host(void* data) { return static_cast<WaylandHost*>(data); }

uint32_t Lower(uint32_t offered, uint32_t wanted) { return offered < wanted ? offered : wanted; }

template <typename T>
T* Bind(wl_registry* registry, uint32_t name, const wl_interface* interface, uint32_t offered, uint32_t wanted) {
    return static_cast<T*>(wl_registry_bind(registry, name, interface, Lower(offered, wanted)));
}

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener kWmBaseListener = {OnPing};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
    WaylandHost* host = Host(data);
    if (strcmp(interface, wl_compositor_interface.name) == 0) {
        host->compositor = Bind<wl_compositor>(registry, name, &wl_compositor_interface, version, 4);
    } else if (strcmp(interface, wl_shm_interface.name) == 0) {
        host->shm = Bind<wl_shm>(registry, name, &wl_shm_interface, version, 1);
    } else if (strcmp(interface, wl_output_interface.name) == 0) {
        AddOutput(host, name, version);
    } else if (strcmp(interface, wl_seat_interface.name) == 0) {
        BindSeat(host, name, version);
    } else if (strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0 && !host->ignoreLayerShell) {
        host->layerShell = Bind<zwlr_layer_shell_v1>(registry, name, &zwlr_layer_shell_v1_interface, version, 4);
    } else if (strcmp(interface, xdg_wm_base_interface.name) == 0) {
        host->wmBase = Bind<xdg_wm_base>(registry, name, &xdg_wm_base_interface, version, 2);
        xdg_wm_base_add_listener(host->wmBase, &kWmBaseListener, host);
    } else if (strcmp(interface, wp_viewporter_interface.name) == 0) {
        host->viewporter = Bind<wp_viewporter>(registry, name, &wp_viewporter_interface, version, 1);
    } else if (strcmp(interface, wp_fractional_scale_manager_v1_interface.name) == 0) {
        host->fractionalManager =
            Bind<wp_fractional_scale_manager_v1>(registry, name, &wp_fractional_scale_manager_v1_interface, version, 1);
    }
}

void OnGlobalRemove(void* data, wl_registry*, uint32_t name) { RemoveOutput(Host(data), name); }

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

int Refuse(const char* message) {
    fprintf(stderr, "zarvo: %s\n", message);
    return 0;
}

}  // namespace

int WaylandAnswers(const char* name) {
    wl_display* display = wl_display_connect(name);
    if (display == nullptr) return 0;
    const int answers = wl_display_roundtrip(display) >= 0;
    wl_display_disconnect(display);
    return answers;
}

int ConnectWayland(WaylandHost* host) {
    host->display = wl_display_connect(nullptr);
    if (host->display == nullptr) return Refuse("cannot connect to the Wayland compositor");
    host->registry = wl_display_get_registry(host->display);
    wl_registry_add_listener(host->registry, &kRegistryListener, host);
    // The first trip lists the globals, the second their first events (the
    // outputs' scales and the seat's devices).
    if (wl_display_roundtrip(host->display) < 0 || wl_display_roundtrip(host->display) < 0) {
        return Refuse("the Wayland compositor closed the connection while zarvo started");
    }
    if (host->compositor == nullptr || host->shm == nullptr) {
        return Refuse("the Wayland compositor offers no wl_compositor or wl_shm");
    }
    return 1;
}

void DisconnectWayland(WaylandHost* host) {
    FreeOutputs(host);
    if (host->window) DestroyWaylandSurface(host->window);
    host->window = nullptr;
    ReleaseSeat(host);
    if (host->layerShell && zwlr_layer_shell_v1_get_version(host->layerShell) >= 3) {
        zwlr_layer_shell_v1_destroy(host->layerShell);
    } else if (host->layerShell) {
        wl_proxy_destroy(reinterpret_cast<wl_proxy*>(host->layerShell));
    }
    if (host->wmBase) xdg_wm_base_destroy(host->wmBase);
    if (host->viewporter) wp_viewporter_destroy(host->viewporter);
    if (host->fractionalManager) wp_fractional_scale_manager_v1_destroy(host->fractionalManager);
    if (host->shm) wl_shm_destroy(host->shm);
    if (host->compositor) wl_compositor_destroy(host->compositor);
    if (host->registry) wl_registry_destroy(host->registry);
    wl_display_flush(host->display);
    wl_display_disconnect(host->display);
    host->display = nullptr;
}
