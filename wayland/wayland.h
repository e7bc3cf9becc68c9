// The Wayland front end of the scene: the connection and its globals, one
// surface per output (or one window), shared-memory buffers, input that ends
// a run, and the loop that paces frames by the compositor's frame callbacks.
#pragma once

#include <wayland-client.h>

#include <cstddef>
#include <cstdint>

#include "app/run_request.h"
#include "app/scene_run.h"
#include "image/screen_runs.h"

struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct wp_viewporter;
struct wp_viewport;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;
struct xkb_context;
struct xkb_keymap;
struct xkb_state;

// What a run on Wayland shows.
enum WaylandSurfaceKind {
    kWaylandWindow,      // an xdg toplevel of its own, closed by q, Escape or the compositor
    kWaylandFullScreen,  // covers every output and ends on input
    kWaylandBackground,  // under the windows on every output; input passes it by
};

// The layers a run sits in (the layer-shell's own numbers).
enum WaylandLayer { kLayerBackground = 0, kLayerBottom = 1, kLayerOverlay = 3 };

// ---- Records ----

constexpr int kBuffersPerSurface = 2;
constexpr int kMaxMissedRects = kMaxViewChanges;

// One shared-memory buffer of a surface. While the compositor holds it
// (busy) it is not written; the rectangles drawn into its sibling since it
// was last brought up to date are listed in `missed` (all of it when fresh).
struct WaylandBuffer {
    wl_buffer* buffer;
    uint32_t* pixels;
    int busy;
    int missedAll;
    int missedCount;
    Rect missed[kMaxMissedRects];
    // The very pixels it missed, while missedRunsKnown: a small part of
    // the rectangles, which bound spans scattered over them.
    ScreenRuns missedRuns;
    int missedRunsKnown;
};

struct WaylandHost;
struct WaylandOutput;

// A surface that shows one scene: a layer surface on an output, or a window.
struct WaylandSurface {
    WaylandHost* host;
    WaylandOutput* output;  // null for a window
    wl_surface* surface;
    zwlr_layer_surface_v1* layerSurface;
    xdg_surface* xdgSurface;
    xdg_toplevel* toplevel;
    wp_viewport* viewport;
    wp_fractional_scale_v1* fractionalScale;
    int configured;
    int logicalWidth, logicalHeight;  // the size the compositor configured
    int pendingWidth, pendingHeight;  // a window's size before its configure ends
    int scale;                        // whole buffer scale of the output
    int preferredScale;               // fractional scale in 120ths; 0 when not offered
    int width, height;                // the buffers' size in device pixels
    uint8_t* memory;
    size_t memorySize;
    WaylandBuffer buffers[kBuffersPerSurface];
    int shown;   // the buffer committed last; -1 before the first
    int latest;  // the buffer drawn into last, which the others catch up from
    // A buffer drawn while a commit waits, and the rectangles drawn since
    // that commit: committed once the compositor has shown it.
    int held;  // -1: none
    int heldCount;
    Rect heldDamage[kMaxMissedRects];
    wl_callback* frameCallback;  // a commit waiting for the compositor to show it
    int64_t committedMs;         // when that commit was made
    int area;                    // its area of the run (scene and view); -1 before set-up
    int behind;                  // ticks were composed but not drawn (hidden): the strip is put whole next
    int closed;
    // The outputs a window is on (wl_surface enter and leave): it takes the
    // largest of their whole scales.
    wl_output* entered[kMaxMonitors];
    int enteredCount;
};

struct WaylandOutput {
    WaylandHost* host;
    wl_output* output;
    uint32_t globalName;
    int scale;
    int ready;  // its first done event came
    WaylandSurface* surface;
};

struct WaylandHost {
    ZarvoOptions options;
    RunChoices choices;    // what each run begins with
    int kind;              // WaylandSurfaceKind
    int ignoreLayerShell;  // act as on a compositor without layer-shell
    int signalFd;          // readable once a termination signal arrived; -1: none
    int ended;             // a termination signal came, or the compositor went
    SceneRun run;          // the areas' scenes, the seed, the tick timer and counts
    wl_display* display;
    wl_registry* registry;
    wl_compositor* compositor;
    wl_shm* shm;
    wl_seat* seat;
    wl_keyboard* keyboard;
    wl_pointer* pointer;
    zwlr_layer_shell_v1* layerShell;
    xdg_wm_base* wmBase;
    wp_viewporter* viewporter;
    wp_fractional_scale_manager_v1* fractionalManager;
    xkb_context* xkb;
    xkb_keymap* keymap;
    xkb_state* keyState;
    WaylandOutput* outputs[kMaxMonitors];
    int outputCount;
    WaylandSurface* window;  // the window of the window mode and of the full-screen fallback
    PointerAnchor anchor;    // where the pointer entered the cover
};

// ---- Connection (connection.cpp) ----

// 1 when a compositor answers at `name` (null: $WAYLAND_DISPLAY).
int WaylandAnswers(const char* name);
// Connects, binds the globals and waits for the outputs' first description.
// 1 on success; 0 with a message on standard error.
int ConnectWayland(WaylandHost* host);
void DisconnectWayland(WaylandHost* host);

// ---- Outputs (outputs.cpp) ----

void AddOutput(WaylandHost* host, uint32_t globalName, uint32_t version);
// The output with that registry name went away: its surface and scene are freed.
void RemoveOutput(WaylandHost* host, uint32_t globalName);
void FreeOutputs(WaylandHost* host);

// ---- Buffers (buffers.cpp) ----

// kBuffersPerSurface buffers of width x height in one shared-memory pool.
// 1 on success.
int CreateBuffers(WaylandHost* host, WaylandSurface* surface, int width, int height);
void DestroyBuffers(WaylandSurface* surface);
// A buffer the compositor does not hold: the one drawn last if it can be,
// else another brought up to date from it; -1 when all are held.
int TakeFreeBuffer(WaylandSurface* surface);
// Records that `rects` were drawn into buffer `drawn`: the others missed them.
void NoteDrawn(WaylandSurface* surface, int drawn, const Rect* rects, int count);
// Records that the view's last present was drawn into buffer `drawn`: the
// others missed the pixels it wrote, within its rectangles.
void NotePresentDrawn(WaylandSurface* surface, int drawn, const ScreenView& view);

// ---- Fractional scale (fractional_scale.cpp) ----

// `logical` surface pixels at a scale of scale120 / 120 (the protocol's
// unit), in device pixels: rounded half away from zero, as the protocol
// asks of a toplevel's buffer; INT_MAX (which no buffer takes) past an int.
int ScaledSize(int logical, int scale120);

// ---- Surfaces (surfaces.cpp) ----

// A layer surface on `output` for the full-screen and background runs.
WaylandSurface* CreateLayerSurface(WaylandHost* host, WaylandOutput* output);
// The window of the window mode, full screen when the compositor offers no
// layer-shell.
WaylandSurface* CreateWindowSurface(WaylandHost* host, int fullscreen);
void DestroyWaylandSurface(WaylandSurface* surface);
// How many surfaces are still shown.
int OpenSurfaceCount(const WaylandHost* host);
// A window takes the largest whole scale of the outputs it is on, so its
// buffer holds device pixels there too; set up again when that changed.
void RescaleWindow(WaylandSurface* window);

// ---- Drawing (drawing.cpp) ----

// The surface took the size it was configured to: its buffers and scene are
// set up for it (again, when it changed) and the whole picture committed.
void ShowConfiguredSurface(WaylandSurface* surface);
// One tick of the surface's scene: drawn, and committed unless a commit
// waits; on a surface hidden for a while only composed, its strip drawn
// whole once it shows again.
void DrawSurfaceTick(WaylandSurface* surface);
// What was drawn while a commit waited (or only composed while the surface
// was hidden), committed once the compositor is ready for it.
void CatchUpSurface(WaylandSurface* surface);
// Frees the surface's scene and view; the run's ticks are timed by another.
void EndSurfaceScene(WaylandSurface* surface);

// ---- Input (input.cpp) ----

void BindSeat(WaylandHost* host, uint32_t globalName, uint32_t version);
void ReleaseSeat(WaylandHost* host);

// ---- The loop (loop.cpp) ----

// Runs zarvo on Wayland to its end; the exit status.
int RunWayland(const RunRequest& request);
// A fresh run of scenes for the request's choices, with its seed.
void StartRun(WaylandHost* host);
// Takes the request, opens the signal pipe, begins the run (but for
// --idle) and connects for a run of `kind`. 1 on success; 0 after saying why.
int SetUpWaylandHost(WaylandHost* host, const RunRequest& request, int kind);
// The surfaces of the mode: for the outputs, one on each described output
// that has none. 1 on success.
int CreateSurfaces(WaylandHost* host);
// One wait on the connection, the signal pipe and the next tick's time;
// then what the compositor sent is handled.
void WaitForWayland(WaylandHost* host);
// Draws the run's ticks until it ends.
void RunTicks(WaylandHost* host);

// ---- Idle start (idle.cpp) ----

// zarvo --idle: covers every output after the request's idle time until
// the first input, again and again, until SIGTERM; the exit status.
int RunWaylandIdle(const RunRequest& request);
