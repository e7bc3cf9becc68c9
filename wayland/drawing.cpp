// Drawing a surface: its scene set up for the configured size in device
// pixels, the whole picture on the first commit, and afterwards only the
// rectangles each tick changed, one commit waiting at a time.
#include <cstdio>
#include <cstring>

#include "wayland/viewporter-client.h"
#include "wayland/wayland.h"

namespace {

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
}

// The device pixels of the configured size: through the fractional scale
// and a viewport where offered, else the output's whole scale.
void ChooseBufferSize(WaylandSurface* surface, int* width, int* height) {
    if (surface->viewport && surface->preferredScale > 0) {
        *width = (surface->logicalWidth * surface->preferredScale + 60) / 120;
        *height = (surface->logicalHeight * surface->preferredScale + 60) / 120;
        wl_surface_set_buffer_scale(surface->surface, 1);
        wp_viewport_set_destination(surface->viewport, surface->logicalWidth, surface->logicalHeight);
        return;
    }
    *width = surface->logicalWidth * surface->scale;
    *height = surface->logicalHeight * surface->scale;
    wl_surface_set_buffer_scale(surface->surface, surface->scale);
}

// Whether this surface shows a scene, and its seed: the first output listed
// keeps the run's seed and stands for the primary monitor, each later one
// takes the next seed (as the monitors of X11 and Windows are planned).
int ShowsScene(const WaylandSurface* surface) {
    const WaylandHost* host = surface->host;
    return host->run.kind == kWaylandWindow || surface->output == nullptr || surface->ordinal == 0 ||
           host->run.display.monitors != kMonitorsPrimary;
}

void Refuse(WaylandSurface* surface, const SceneSetUp& setUp, int width, int height) {
    if (setUp.outcome == kSceneRefused) ShowMinimumRefusal("zarvo", width, height, 24);
    if (setUp.outcome == kSceneFailed) {
        fprintf(stderr, "zarvo: the scene could not be set up (pictures missing or damaged)\n");
    }
    EndRun(surface->host, 1);
}

// An area narrower than the smallest layout shows it shrunk, as a small
// X11 window does. A later output's refusal leaves it black; the first's
// ends the run, as a single screen's would.
void SetUpSurfaceScene(WaylandSurface* surface) {
    WaylandHost* host = surface->host;
    PictureSize pictureSize = host->run.display.pictureSize;
    const SceneWindowInfo area{surface->width, surface->height, surface->width, 24, nullptr};
    const SceneSetUp setUp =
        SetUpScene(ShrinkSmallArea(area, &pictureSize), host->run.settings, host->run.seed + surface->ordinal);
    if (setUp.scene == nullptr) {
        if (surface->ordinal == 0) Refuse(surface, setUp, surface->width, surface->height);
        return;
    }
    surface->scene = setUp.scene;
    surface->view = CreateScreenView(setUp.scene, pictureSize, surface->width, surface->height);
    if (surface->view == nullptr) {
        fprintf(stderr, "zarvo: out of memory\n");
        return EndRun(host, 1);
    }
    surface->framesDrawn = 0;
    surface->animating = SceneAnimates(*setUp.scene) && host->run.stillAfter != 0;
    if (!host->timing) {
        host->timing = 1;
        host->nextFrameMs = MonotonicMilliseconds() + HostFramePeriod(*setUp.scene);
    }
}

void PaintWhole(WaylandSurface* surface) {
    const int index = TakeFreeBuffer(surface);
    const RgbPixels target = BufferPixels(surface, index);
    if (surface->view) {
        PaintScreenView(*surface->view, target);
    } else {
        memset(target.pixels, 0, static_cast<size_t>(surface->width) * static_cast<size_t>(surface->height) * 4);
    }
    const Rect whole{0, 0, surface->width, surface->height};
    NoteDrawn(surface, index, &whole, 1);
    surface->buffers[index].missedAll = 0;
    Commit(surface, index, &whole, 1);
}

}  // namespace

void ShowConfiguredSurface(WaylandSurface* surface) {
    if (surface->closed || !surface->host->running) return;
    if (surface->logicalWidth <= 0) surface->logicalWidth = surface->host->run.windowWidth;
    if (surface->logicalHeight <= 0) surface->logicalHeight = surface->host->run.windowHeight;
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
    if (!CreateBuffers(surface->host, surface, width, height)) {
        fprintf(stderr, "zarvo: could not allocate %dx%d buffers for the surface\n", width, height);
        return EndRun(surface->host, 1);
    }
    if (ShowsScene(surface)) SetUpSurfaceScene(surface);
    if (surface->host->running) PaintWhole(surface);
}

int DrawSurfaceFrame(WaylandSurface* surface) {
    if (surface->view == nullptr || !surface->animating || surface->frameCallback || surface->closed) return 0;
    const int index = TakeFreeBuffer(surface);
    if (index < 0) return 0;
    TickScreenView(*surface->view, BufferPixels(surface, index));
    const int count = surface->view->changedCount;
    if (count > 0) {
        NoteDrawn(surface, index, surface->view->changed, count);
        Commit(surface, index, surface->view->changed, count);
    }
    ++surface->framesDrawn;
    const long still = surface->host->run.stillAfter;
    if (still >= 0 && surface->framesDrawn >= still) surface->animating = 0;
    return 1;
}

void EndSurfaceScene(WaylandSurface* surface) {
    DestroyScreenView(surface->view);
    DestroyScene(surface->scene);
    surface->view = nullptr;
    surface->scene = nullptr;
    surface->animating = 0;
}
