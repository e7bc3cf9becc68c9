// Shared-memory buffers in the screen view's own pixel layout (XRGB8888):
// two per surface in one pool, each written only while the compositor does
// not hold it, and brought up to date with what its sibling showed meanwhile.
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>

#include "wayland/wayland.h"

namespace {

void OnRelease(void* data, wl_buffer*) { static_cast<WaylandBuffer*>(data)->busy = 0; }
const wl_buffer_listener kBufferListener = {OnRelease};

void CopyRect(const WaylandSurface* surface, const uint32_t* from, uint32_t* to, Rect rect) {
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(surface->width) + static_cast<size_t>(rect.x);
        memcpy(to + row, from + row, static_cast<size_t>(rect.width) * sizeof(uint32_t));
    }
}

// The pixels the buffer missed where they are known, else its rectangles.
void CopyMissed(const WaylandSurface* surface, const WaylandBuffer* buffer) {
    uint32_t* from = surface->buffers[surface->latest].pixels;
    if (buffer->missedRunsKnown && !buffer->missedAll) {
        const Rect whole{0, 0, surface->width, surface->height};
        CopyScreenRuns(buffer->missedRuns, RgbPixels{from, surface->width, whole},
                       RgbPixels{buffer->pixels, surface->width, whole});
        return;
    }
    if (buffer->missedAll) {
        CopyRect(surface, from, buffer->pixels, Rect{0, 0, surface->width, surface->height});
        return;
    }
    for (int i = 0; i < buffer->missedCount; ++i) CopyRect(surface, from, buffer->pixels, buffer->missed[i]);
}

void CatchUp(WaylandSurface* surface, WaylandBuffer* buffer) {
    if (surface->latest < 0 || &surface->buffers[surface->latest] == buffer) return;
    CopyMissed(surface, buffer);
    buffer->missedAll = 0;
    buffer->missedCount = 0;
    ClearScreenRuns(&buffer->missedRuns);
    buffer->missedRunsKnown = buffer->missedRuns.rows != nullptr;
}

}  // namespace

int CreateBuffers(WaylandHost* host, WaylandSurface* surface, int width, int height) {
    const size_t stride = static_cast<size_t>(width) * sizeof(uint32_t);
    const size_t bufferSize = stride * static_cast<size_t>(height);
    const size_t size = bufferSize * kBuffersPerSurface;
    if (width <= 0 || height <= 0 || stride > INT32_MAX || size > INT32_MAX) return 0;
    const int fd = memfd_create("zarvo-buffers", MFD_CLOEXEC);
    if (fd < 0) return 0;
    void* memory = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(size)) == 0) {
        memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    if (memory == MAP_FAILED) {
        close(fd);
        return 0;
    }
    wl_shm_pool* pool = wl_shm_create_pool(host->shm, fd, static_cast<int32_t>(size));
    close(fd);
    surface->memory = static_cast<uint8_t*>(memory);
    surface->memorySize = size;
    int ok = 1;
    surface->width = width;
    surface->height = height;
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        WaylandBuffer* buffer = &surface->buffers[i];
        *buffer = WaylandBuffer{};
        buffer->buffer = wl_shm_pool_create_buffer(pool, static_cast<int32_t>(bufferSize * i), width, height,
                                                   static_cast<int32_t>(stride), WL_SHM_FORMAT_XRGB8888);
        buffer->pixels = reinterpret_cast<uint32_t*>(surface->memory + bufferSize * i);
        buffer->missedAll = 1;
        wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer);
        if (!CreateScreenRuns(&buffer->missedRuns, width, height)) ok = 0;
    }
    wl_shm_pool_destroy(pool);
    surface->shown = -1;
    surface->latest = -1;
    surface->held = -1;
    surface->heldCount = 0;
    return ok;
}

void DestroyBuffers(WaylandSurface* surface) {
    for (WaylandBuffer& buffer : surface->buffers) {
        if (buffer.buffer) wl_buffer_destroy(buffer.buffer);
        DestroyScreenRuns(&buffer.missedRuns);
        buffer = WaylandBuffer{};
    }
    if (surface->memory) munmap(surface->memory, surface->memorySize);
    surface->memory = nullptr;
    surface->memorySize = 0;
    surface->shown = -1;
    surface->latest = -1;
    surface->held = -1;
    surface->heldCount = 0;
}

int TakeFreeBuffer(WaylandSurface* surface) {
    // The one drawn last, when the compositor let it go (a compositor that
    // copies shared memory does so at once): it needs nothing copied.
    if (surface->latest >= 0 && !surface->buffers[surface->latest].busy) return surface->latest;
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        WaylandBuffer* buffer = &surface->buffers[i];
        if (buffer->busy) continue;
        CatchUp(surface, buffer);
        return i;
    }
    return -1;
}

namespace {

void NoteMissedRects(WaylandSurface* surface, int drawn, const Rect* rects, int count) {
    surface->latest = drawn;
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        WaylandBuffer* buffer = &surface->buffers[i];
        if (i == drawn || buffer->missedAll) continue;
        for (int k = 0; k < count; ++k) AddRect(buffer->missed, &buffer->missedCount, kMaxMissedRects, rects[k]);
    }
}

}  // namespace

void NoteDrawn(WaylandSurface* surface, int drawn, const Rect* rects, int count) {
    NoteMissedRects(surface, drawn, rects, count);
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        if (i != drawn) surface->buffers[i].missedRunsKnown = 0;
    }
}

void NotePresentDrawn(WaylandSurface* surface, int drawn, const ScreenView& view) {
    NoteMissedRects(surface, drawn, view.changed, view.changedCount);
    for (int i = 0; i < kBuffersPerSurface; ++i) {
        WaylandBuffer* buffer = &surface->buffers[i];
        if (i == drawn || !buffer->missedRunsKnown) continue;
        buffer->missedRunsKnown = AddLastPresentRuns(view, &buffer->missedRuns);
    }
}
