// Drawing a surface: its scene set up for the configured size in device
// pixels, the whole picture on the first commit, and afterwards only the
// rectangles each tick changed, one commit waiting at a time.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#include "app/signals.h"
#include "wayland/viewporter-client.h"
#include "wayland/wayland.h"

namespace {

// A commit not shown for this long means the compositor hides the surface.
constexpr int64_t kHiddenAfterMs = 500;

void OnFrameDone(void* data, wl_callback* callback, uint32_t) {
    WaylandSurface* surface = static_cast<WaylandSurface*>(data);
    wl_callback_destroy(callback);
    surface->frameCallback = nullptr;
}
const wl_callback_listener kFrameListener = {OnFrameDone};

RgbPixels BufferPixels(const WaylandSurface* surface, int index) {
    return RgbPixels{surface->buffers[index].pixels, surface->width, Rect{0, 0, surface->width, surface->height}};
}

// Puts buffer `index` on the surface with the rectangles that changed.
void Commit(WaylandSurface* surface, int index, const Rect* rects, int count) {
    WaylandBuffer* buffer = &surface->buffers[index];
    wl_surface_attach(surface->surface, buffer->buffer, 0, 0);
    for (int i = 0; i < count; ++i) {
        if (wl_surface_get_version(surface->surface) >= WL_SURFACE_DAMAGE_BUFFER_SINCE_VERSION) {
            wl_surface_damage_buffer(surface->surface, rects[i].x, rects[i].y, rects[i].width, rects[i].height);
        } else {
            wl_surface_damage(surface->surface, 0, 0, INT32_MAX, INT32_MAX);
        }
    }
    surface->frameCallback = wl_surface_frame(surface->surface);
    wl_callback_add_listener(surface->frameCallback, &kFrameListener, surface);
    wl_surface_commit(surface->surface);
    buffer->busy = 1;
    surface->shown = index;
    surface->committedMs = MonotonicMilliseconds();
}

// The device pixels of the configured size: through the fractional scale
// and a viewport where offered, else the output's whole scale.
void ChooseBufferSize(WaylandSurface* surface, int* width, int* height) {
    if (surface->viewport && surface->preferredScale > 0) {
        *width = ScaledSize(surface->logicalWidth, surface->preferredScale);
        *height = ScaledSize(surface->logicalHeight, surface->preferredScale);
        wl_surface_set_buffer_scale(surface->surface, 1);
        wp_viewport_set_destination(surface->viewport, surface->logicalWidth, surface->logicalHeight);
        return;
    }
    // Through the same clamped product: an absurd output scale gives a size
    // no buffer takes (a message and status 1), not an overflowed int.
    const int scale120 = std::min(surface->scale, INT_MAX / 120) * 120;
    *width = ScaledSize(surface->logicalWidth, scale120);
    *height = ScaledSize(surface->logicalHeight, scale120);
    wl_surface_set_buffer_scale(surface->surface, surface->scale);
}

// The outputs in the order the compositor listed them, the first standing
// for the primary monitor, planned as X11's and Windows' monitors are: each
// later one takes the next seed, and --monitors primary leaves them black.
MonitorPlan PlanSurface(const WaylandSurface* surface) {
    const WaylandHost* host = surface->host;
    MonitorPlan plans[kMaxMonitors];
    if (surface->output == nullptr) return MonitorPlan{{0, 0, surface->width, surface->height}, 1, 1, host->run.seed};
    MonitorArea outputs[kMaxMonitors];
    int place = 0;
    for (int i = 0; i < host->outputCount; ++i) {
        const WaylandSurface* shown = host->outputs[i]->surface;
        outputs[i] = {{0, 0, shown ? shown->width : 0, shown ? shown->height : 0}, 0};
        if (shown == surface) place = i;
    }
    PlanMonitors(outputs, host->outputCount, host->run.display.monitors, host->run.seed, plans);
    return plans[place];
}

// An area no surface shows: one without a rectangle.
int TakeArea(SceneRun* run) {
    int i = 0;
    while (i < kMaxMonitors && !IsEmpty(run->areas[i].rect)) ++i;
    if (i < kMaxMonitors) run->areaCount = std::max(run->areaCount, i + 1);
    return i < kMaxMonitors ? i : -1;
}

// The scene of the surface's area; a surface narrower than the smallest
// layout shows it shrunk, as a small X11 window does. 0 when the first
// output's scene refused or failed, which ends the run.
int SetUpSurfaceScene(WaylandSurface* surface) {
    WaylandHost* host = surface->host;
    surface->area = TakeArea(&host->run);
    if (surface->area < 0) return 1;  // more outputs than areas: this one stays black
    MonitorPlan plan = PlanSurface(surface);
    plan.rect = Rect{0, 0, surface->width, surface->height};
    const RunStart start = StartAreaScene(&host->run, surface->area, plan, {0, 24, 1});
    ScreenView* view = host->run.areas[surface->area].view;
    // Its two buffers catch up with exactly what the other was drawn.
    if (view != nullptr) view->keepsWritten = 1;
    return ReportRunStart(&host->run, start, "zarvo", 24);
}

void PaintWhole(WaylandSurface* surface) {
    const int index = TakeFreeBuffer(surface);
    const RgbPixels target = BufferPixels(surface, index);
    ScreenView* view = surface->area >= 0 ? surface->host->run.areas[surface->area].view : nullptr;
    if (view) {
        PaintScreenView(*view, target);
    } else {
        memset(target.pixels, 0, static_cast<size_t>(surface->width) * static_cast<size_t>(surface->height) * 4);
    }
    const Rect whole{0, 0, surface->width, surface->height};
    NoteDrawn(surface, index, &whole, 1);
    surface->buffers[index].missedAll = 0;
    Commit(surface, index, &whole, 1);
}

ScreenView* SurfaceView(const WaylandSurface* surface) {
    if (surface->area < 0 || surface->closed) return nullptr;
    return surface->host->run.areas[surface->area].view;
}

// The rectangles a tick drew into buffer `index`, kept for its commit.
void HoldChanges(WaylandSurface* surface, int index, const ScreenView& view) {
    NotePresentDrawn(surface, index, view);
    surface->held = index;
    for (int i = 0; i < view.changedCount; ++i)
        AddRect(surface->heldDamage, &surface->heldCount, kMaxMissedRects, view.changed[i]);
}

void CommitHeld(WaylandSurface* surface) {
    if (surface->held < 0) return;
    if (surface->heldCount > 0) Commit(surface, surface->held, surface->heldDamage, surface->heldCount);
    surface->held = -1;
    surface->heldCount = 0;
}

}  // namespace

void ShowConfiguredSurface(WaylandSurface* surface) {
    WaylandHost* host = surface->host;
    if (surface->closed || !host->run.running) return;
    if (surface->logicalWidth <= 0) surface->logicalWidth = host->options.width;
    if (surface->logicalHeight <= 0) surface->logicalHeight = host->options.height;
    int width = 0, height = 0;
    ChooseBufferSize(surface, &width, &height);
    if (width == surface->width && height == surface->height && surface->memory) {
        wl_surface_commit(surface->surface);
        return;
    }
    EndSurfaceScene(surface);
    if (surface->frameCallback) wl_callback_destroy(surface->frameCallback);
    surface->frameCallback = nullptr;
    DestroyBuffers(surface);
    if (!CreateBuffers(host, surface, width, height)) {
        fprintf(stderr, "zarvo: could not allocate %dx%d buffers for the surface\n", width, height);
        return EndRun(&host->run, 1);
    }
    if (!SetUpSurfaceScene(surface)) return;
    PaintWhole(surface);
    // The ticks of every scene count from here (--still-after); a run of
    // --frames 0 ends with this picture committed.
    if (host->run.lead != nullptr) StartTicks(&host->run, MonotonicMilliseconds());
}

void DrawSurfaceTick(WaylandSurface* surface) {
    ScreenView* view = SurfaceView(surface);
    if (view == nullptr) return;
    const int waiting = surface->frameCallback != nullptr;
    const int hidden = waiting && MonotonicMilliseconds() - surface->committedMs > kHiddenAfterMs;
    const int index = hidden ? -1 : TakeFreeBuffer(surface);
    if (index < 0) {
        // The scene keeps time; nothing is drawn until the surface shows.
        AdvanceScreenView(*view);
        ForgetShownPicture(*view);
        surface->behind = 1;
        return;
    }
    TickScreenView(*view, BufferPixels(surface, index));
    surface->behind = 0;
    HoldChanges(surface, index, *view);
    if (!waiting) CommitHeld(surface);
}

void CatchUpSurface(WaylandSurface* surface) {
    ScreenView* view = SurfaceView(surface);
    if (view == nullptr || surface->frameCallback) return;
    if (surface->behind) {
        const int index = TakeFreeBuffer(surface);
        if (index < 0) return;
        PresentScreenView(*view, BufferPixels(surface, index));
        surface->behind = 0;
        HoldChanges(surface, index, *view);
    }
    CommitHeld(surface);
}

void EndSurfaceScene(WaylandSurface* surface) {
    if (surface->area < 0) return;
    EndAreaScene(&surface->host->run, surface->area);
    surface->area = -1;
}
