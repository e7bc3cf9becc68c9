// wayland-test-inhibit: a small grey window that holds an idle inhibitor
// until it is ended, as a playing video does; for the --idle tests.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "wayland/idle-inhibit-unstable-v1-client.h"
#include "wayland/xdg-shell-client.h"

namespace {

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
xdg_wm_base* wmBase = nullptr;
zwp_idle_inhibit_manager_v1* inhibitManager = nullptr;
int configured = 0;

template <typename T>
void BindIf(wl_registry* registry, uint32_t name, const char* interface, const wl_interface* wanted, T** into) {
    if (strcmp(interface, wanted->name) == 0) *into = static_cast<T*>(wl_registry_bind(registry, name, wanted, 1));
}

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    BindIf(registry, name, interface, &wl_compositor_interface, &compositor);
    BindIf(registry, name, interface, &wl_shm_interface, &shm);
    BindIf(registry, name, interface, &xdg_wm_base_interface, &wmBase);
    BindIf(registry, name, interface, &zwp_idle_inhibit_manager_v1_interface, &inhibitManager);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnPing(void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener kWmBaseListener = {OnPing};

void OnConfigure(void*, xdg_surface* surface, uint32_t serial) {
    xdg_surface_ack_configure(surface, serial);
    configured = 1;
}
const xdg_surface_listener kXdgSurfaceListener = {OnConfigure};

// A 64 x 64 grey buffer.
wl_buffer* GreyBuffer() {
    constexpr int kSide = 64;
    constexpr int kSize = kSide * kSide * 4;
    const int fd = memfd_create("inhibit", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, kSize) != 0) return nullptr;
    void* pixels = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) return nullptr;
    memset(pixels, 0x80, kSize);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, kSize);
    wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, kSide, kSide, kSide * 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return 1;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, nullptr);
    wl_display_roundtrip(display);
    if (!compositor || !shm || !wmBase || !inhibitManager) {
        fprintf(stderr, "wayland-test-inhibit: the compositor lacks a global this needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(wmBase, &kWmBaseListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    xdg_surface* xdgSurface = xdg_wm_base_get_xdg_surface(wmBase, surface);
    xdg_surface_add_listener(xdgSurface, &kXdgSurfaceListener, nullptr);
    xdg_toplevel_set_title(xdg_surface_get_toplevel(xdgSurface), "inhibit");
    wl_surface_commit(surface);
    while (!configured && wl_display_dispatch(display) >= 0) {}
    zwp_idle_inhibit_manager_v1_create_inhibitor(inhibitManager, surface);
    wl_surface_attach(surface, GreyBuffer(), 0, 0);
    wl_surface_commit(surface);
    while (wl_display_dispatch(display) >= 0) {}
    return 0;
}
