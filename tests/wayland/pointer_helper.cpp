// wayland-test-pointer: moves or clicks a pointer of its own on a wlroots
// compositor through the virtual-pointer protocol, for the end-to-end tests
// (a headless seat has no pointer of its own). Its arguments are requests
// done in order, 100 ms apart, on one device:
//   move DX DY     a relative move
//   to X Y W H     to (X, Y) of a W x H layout
//   click          the left button pressed and released
// The device appears when the helper starts and goes when it ends; clients
// take it in the first 300 ms, and the compositor sends them their enter
// event with the first move after that.
#include <linux/input-event-codes.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "wayland/wlr-virtual-pointer-unstable-v1-client.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
wl_seat* seat = nullptr;

void OnGlobal(void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
        manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    } else if (strcmp(interface, wl_seat_interface.name) == 0 && seat == nullptr) {
        seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    }
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
const wl_registry_listener kListener = {OnGlobal, OnGlobalRemove};

uint32_t Number(const char* text) { return static_cast<uint32_t>(atoi(text)); }

// One request at argv[at]; the arguments it took, 0 when it is unknown.
int Act(zwlr_virtual_pointer_v1* pointer, int argc, char** argv, int at) {
    const char* what = argv[at];
    const int left = argc - at - 1;
    int used = 0;
    if (strcmp(what, "move") == 0 && left >= 2) {
        zwlr_virtual_pointer_v1_motion(pointer, 0, wl_fixed_from_int(atoi(argv[at + 1])),
                                       wl_fixed_from_int(atoi(argv[at + 2])));
        used = 3;
    } else if (strcmp(what, "to") == 0 && left >= 4) {
        zwlr_virtual_pointer_v1_motion_absolute(pointer, 0, Number(argv[at + 1]), Number(argv[at + 2]),
                                                Number(argv[at + 3]), Number(argv[at + 4]));
        used = 5;
    } else if (strcmp(what, "click") == 0) {
        zwlr_virtual_pointer_v1_button(pointer, 0, BTN_LEFT, WL_POINTER_BUTTON_STATE_PRESSED);
        zwlr_virtual_pointer_v1_frame(pointer);
        zwlr_virtual_pointer_v1_button(pointer, 1, BTN_LEFT, WL_POINTER_BUTTON_STATE_RELEASED);
        used = 1;
    }
    if (used) zwlr_virtual_pointer_v1_frame(pointer);
    return used;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: wayland-test-pointer (move DX DY | to X Y W H | click)...\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        fprintf(stderr, "wayland-test-pointer: no compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &kListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        fprintf(stderr, "wayland-test-pointer: the compositor offers no virtual pointer\n");
        wl_display_disconnect(display);
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, seat);
    wl_display_roundtrip(display);
    usleep(300000);
    int at = 1;
    while (at < argc) {
        const int used = Act(pointer, argc, argv, at);
        if (used == 0) break;
        wl_display_roundtrip(display);
        usleep(100000);
        at += used;
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    zwlr_virtual_pointer_manager_v1_destroy(manager);
    if (seat) wl_seat_destroy(seat);
    wl_registry_destroy(registry);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    if (at < argc) fprintf(stderr, "wayland-test-pointer: unknown request \"%s\"\n", argv[at]);
    return at < argc ? 2 : 0;
}
