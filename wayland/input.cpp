// Input that ends a run: on the full-screen cover any key, any button, or a
// pointer move past the threshold from where it entered; in the window q or
// Escape. A background run takes no input at all.
#include <sys/mman.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon.h>

#include "wayland/wayland.h"

namespace {

WaylandHost* Host(void* data) { return static_cast<WaylandHost*>(data); }

// The key codes of wl_keyboard are evdev's; XKB's are 8 higher.
constexpr uint32_t kEvdevToXkb = 8;

void OnKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd, uint32_t size) {
    WaylandHost* host = Host(data);
    if (format != WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 || host->xkb == nullptr) {
        close(fd);
        return;
    }
    void* text = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    close(fd);
    if (text == MAP_FAILED) return;
    xkb_keymap* keymap = xkb_keymap_new_from_buffer(host->xkb, static_cast<const char*>(text), size - 1,
                                                    XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
    munmap(text, size);
    if (keymap == nullptr) return;
    xkb_state_unref(host->keyState);
    xkb_keymap_unref(host->keymap);
    host->keymap = keymap;
    host->keyState = xkb_state_new(keymap);
}

void OnKeyboardEnter(void*, wl_keyboard*, uint32_t, wl_surface*, wl_array*) {}
void OnKeyboardLeave(void*, wl_keyboard*, uint32_t, wl_surface*) {}

int KeyCloses(const WaylandHost* host, uint32_t key) {
    return host->keyState != nullptr && KeyClosesWindow(xkb_state_key_get_one_sym(host->keyState, key + kEvdevToXkb));
}

void OnKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key, uint32_t state) {
    WaylandHost* host = Host(data);
    if (state != WL_KEYBOARD_KEY_STATE_PRESSED) return;
    if (host->kind == kWaylandFullScreen || KeyCloses(host, key)) EndRun(&host->run, 0);
}

void OnModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed, uint32_t latched, uint32_t locked,
                 uint32_t group) {
    WaylandHost* host = Host(data);
    if (host->keyState) xkb_state_update_mask(host->keyState, depressed, latched, locked, 0, 0, group);
}

void OnRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

const wl_keyboard_listener kKeyboardListener = {OnKeymap, OnKeyboardEnter, OnKeyboardLeave,
                                                OnKey,    OnModifiers,     OnRepeatInfo};

void ReleaseKeyboard(WaylandHost* host) {
    if (wl_keyboard_get_version(host->keyboard) >= WL_KEYBOARD_RELEASE_SINCE_VERSION) {
        wl_keyboard_release(host->keyboard);
    } else {
        wl_keyboard_destroy(host->keyboard);
    }
    host->keyboard = nullptr;
}

ScreenPoint Point(wl_fixed_t x, wl_fixed_t y) { return {wl_fixed_to_int(x), wl_fixed_to_int(y)}; }

// The anchor is where the pointer entered the cover; each move is measured
// from there.
void OnPointerEnter(void* data, wl_pointer*, uint32_t, wl_surface*, wl_fixed_t x, wl_fixed_t y) {
    WaylandHost* host = Host(data);
    host->anchor = PointerAnchor{Point(x, y), 1};
}

void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) { Host(data)->anchor.known = 0; }

void OnMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
    WaylandHost* host = Host(data);
    if (host->kind == kWaylandFullScreen && PointerDismisses(&host->anchor, Point(x, y))) EndRun(&host->run, 0);
}

void OnButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t, uint32_t state) {
    WaylandHost* host = Host(data);
    if (host->kind == kWaylandFullScreen && state == WL_POINTER_BUTTON_STATE_PRESSED) EndRun(&host->run, 0);
}

void OnAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}

void OnFrame(void*, wl_pointer*) {}
void OnAxisSource(void*, wl_pointer*, uint32_t) {}
void OnAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
void OnAxisStep(void*, wl_pointer*, uint32_t, int32_t) {}

void ReleasePointer(WaylandHost* host) {
    if (wl_pointer_get_version(host->pointer) >= WL_POINTER_RELEASE_SINCE_VERSION) {
        wl_pointer_release(host->pointer);
    } else {
        wl_pointer_destroy(host->pointer);
    }
    host->pointer = nullptr;
    host->anchor.known = 0;
}

const wl_pointer_listener kPointerListener = {OnPointerEnter, OnPointerLeave, OnMotion,   OnButton,   OnAxis,
                                              OnFrame,        OnAxisSource,   OnAxisStop, OnAxisStep, OnAxisStep};

// Devices come and go (a virtual pointer or keyboard lives as long as its
// client): one that went is released, and a new one is taken when it comes.
void OnCapabilities(void* data, wl_seat* seat, uint32_t capabilities) {
    WaylandHost* host = Host(data);
    const int hasKeyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const int hasPointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (hasKeyboard && host->keyboard == nullptr) {
        host->keyboard = wl_seat_get_keyboard(seat);
        wl_keyboard_add_listener(host->keyboard, &kKeyboardListener, host);
    } else if (!hasKeyboard && host->keyboard != nullptr) {
        ReleaseKeyboard(host);
    }
    if (hasPointer && host->pointer == nullptr) {
        host->pointer = wl_seat_get_pointer(seat);
        wl_pointer_add_listener(host->pointer, &kPointerListener, host);
    } else if (!hasPointer && host->pointer != nullptr) {
        ReleasePointer(host);
    }
}

void OnSeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener kSeatListener = {OnCapabilities, OnSeatName};

}  // namespace

void BindSeat(WaylandHost* host, uint32_t globalName, uint32_t version) {
    if (host->seat != nullptr || host->kind == kWaylandBackground) return;  // the first seat is the user's
    host->xkb = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    host->seat = static_cast<wl_seat*>(
        wl_registry_bind(host->registry, globalName, &wl_seat_interface, version < 4 ? version : 4));
    wl_seat_add_listener(host->seat, &kSeatListener, host);
}

void ReleaseSeat(WaylandHost* host) {
    if (host->keyboard) ReleaseKeyboard(host);
    if (host->pointer) ReleasePointer(host);
    if (host->seat) wl_seat_destroy(host->seat);
    xkb_state_unref(host->keyState);
    xkb_keymap_unref(host->keymap);
    xkb_context_unref(host->xkb);
    host->keyboard = nullptr;
    host->pointer = nullptr;
    host->seat = nullptr;
    host->keyState = nullptr;
    host->keymap = nullptr;
    host->xkb = nullptr;
}
