// The image that carries the scene's surface to the window: MIT-SHM when the
// server offers it, plain XPutImage otherwise. On 0x00RRGGBB visuals the scene
// draws straight into the image memory; elsewhere rectangles are converted.
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "x11/window_image.h"
#include "x11/window.h"

namespace {

int HostByteOrder() {
    const uint16_t probe = 1;
    uint8_t first = 0;
    memcpy(&first, &probe, 1);
    return first ? LSBFirst : MSBFirst;
}

size_t ImageBytes(const XImage* image) {
    return static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height);
}

void ReleaseShmImage(Display* display, WindowImage* output, int attached) {
    if (attached) {
        XShmDetach(display, &output->shmInfo);
        XSync(display, False);
    }
    if (output->shmInfo.shmaddr && output->shmInfo.shmaddr != reinterpret_cast<char*>(-1)) {
        shmdt(output->shmInfo.shmaddr);
    }
    output->image->data = nullptr;  // shared memory, not XDestroyImage's to free
    XDestroyImage(output->image);
    output->image = nullptr;
    output->shmInfo = XShmSegmentInfo{};
}

// A shared-memory image; leaves output->image null when any step fails
// (a remote display refuses the attach with an X error).
void CreateShmImage(Display* display, Visual* visual, int depth, int width, int height, WindowImage* output) {
    XImage* image = XShmCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, nullptr, &output->shmInfo,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (!image) return;
    output->image = image;
    if (image->byte_order != HostByteOrder()) return ReleaseShmImage(display, output, 0);
    output->shmInfo.shmid = shmget(IPC_PRIVATE, ImageBytes(image), IPC_CREAT | 0600);
    if (output->shmInfo.shmid < 0) return ReleaseShmImage(display, output, 0);
    output->shmInfo.shmaddr = static_cast<char*>(shmat(output->shmInfo.shmid, nullptr, 0));
    // Removed now so that the segment goes away with the last detach, even after a crash.
    shmctl(output->shmInfo.shmid, IPC_RMID, nullptr);
    if (output->shmInfo.shmaddr == reinterpret_cast<char*>(-1)) {
        return ReleaseShmImage(display, output, 0);
    }
    image->data = output->shmInfo.shmaddr;
    output->shmInfo.readOnly = False;
    unsigned long resource = 0;
    TakeXError(&resource);
    int attached = XShmAttach(display, &output->shmInfo);
    XSync(display, False);
    if (!attached || TakeXError(&resource)) return ReleaseShmImage(display, output, attached);
    output->usesShm = 1;
}

void CreatePlainImage(Display* display, Visual* visual, int depth, int width, int height, WindowImage* output) {
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (!image) return;
    image->data = static_cast<char*>(calloc(ImageBytes(image), 1));
    if (!image->data) {
        XDestroyImage(image);
        return;
    }
    // Pixels are written in host order; XPutImage swaps them for the server if needed.
    image->byte_order = HostByteOrder();
    output->image = image;
}

int SetUpSurface(WindowImage* output, int width, int height) {
    XImage* image = output->image;
    output->direct =
        FormatMatchesSurface(&output->format) && image->bytes_per_line % 4 == 0 && image->byte_order == HostByteOrder();
    if (output->direct) {
        output->surface.pixels = reinterpret_cast<uint32_t*>(image->data);
        output->surface.pitch = image->bytes_per_line / 4;
    } else {
        output->surfaceMemory =
            static_cast<uint32_t*>(calloc(static_cast<size_t>(width) * static_cast<size_t>(height), sizeof(uint32_t)));
        if (!output->surfaceMemory) return 0;
        output->surface.pixels = output->surfaceMemory;
        output->surface.pitch = width;
    }
    output->surface.area = Rect{0, 0, width, height};
    return 1;
}

// Any pixel size the table writes do not cover (24-bit packed, 8-bit).
void ConvertRectByPixel(WindowImage* output, Rect rect) {
    const RgbPixels& surface = output->surface;
    const ChannelTables& tables = output->tables;
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const uint32_t* row = surface.pixels + static_cast<size_t>(y) * surface.pitch;
        for (int x = rect.x; x < rect.x + rect.width; ++x) {
            uint32_t rgb = row[x];
            XPutPixel(output->image, x, y,
                      tables.red[(rgb >> 16) & 0xFF] | tables.green[(rgb >> 8) & 0xFF] | tables.blue[rgb & 0xFF]);
        }
    }
}

}  // namespace

PixelFormat VisualPixelFormat(const Visual* visual, int depth, int bitsPerPixel) {
    PixelFormat format{visual->red_mask, visual->green_mask, visual->blue_mask, bitsPerPixel, 0};
    if (depth > 24 && depth <= 32) {
        unsigned long depthBits = depth == 32 ? 0xFFFFFFFFUL : (1UL << depth) - 1;
        format.alphaMask = depthBits & ~(format.redMask | format.greenMask | format.blueMask);
    }
    return format;
}

int CreateWindowImage(Display* display, Window window, Visual* visual, int depth, int width, int height, int allowShm,
                      WindowImage* output) {
    memset(output, 0, sizeof *output);
    if (width < 1 || height < 1) return 0;
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (allowShm && XShmQueryVersion(display, &major, &minor, &pixmaps)) {
        CreateShmImage(display, visual, depth, width, height, output);
    }
    if (!output->image) CreatePlainImage(display, visual, depth, width, height, output);
    if (!output->image) return 0;
    output->format = VisualPixelFormat(visual, depth, output->image->bits_per_pixel);
    BuildChannelTables(&output->format, &output->tables);
    output->gc = XCreateGC(display, window, 0, nullptr);
    if (!SetUpSurface(output, width, height) || !output->gc) {
        DestroyWindowImage(display, output);
        return 0;
    }
    return 1;
}

void SendImageRect(Display* display, Window window, WindowImage* output, Rect rect) {
    rect = ClipTo(rect, output->surface.area.width, output->surface.area.height);
    if (rect.width == 0) return;
    XImage* image = output->image;
    if (!output->direct &&
        !ConvertRect(&output->surface, rect, &output->tables, image->bits_per_pixel,
                     reinterpret_cast<uint8_t*>(image->data), static_cast<size_t>(image->bytes_per_line))) {
        ConvertRectByPixel(output, rect);
    }
    auto w = static_cast<unsigned>(rect.width);
    auto h = static_cast<unsigned>(rect.height);
    if (output->usesShm) {
        XShmPutImage(display, window, output->gc, image, rect.x, rect.y, rect.x, rect.y, w, h, False);
    } else {
        XPutImage(display, window, output->gc, image, rect.x, rect.y, rect.x, rect.y, w, h);
    }
}

void WaitForImageRects(Display* display, const WindowImage* output) {
    if (output->usesShm) {
        // The next tick writes into the same memory: wait until the server has read it.
        XSync(display, False);
    } else {
        XFlush(display);
    }
}

void PutImageRects(Display* display, Window window, WindowImage* output, const Rect* rects, int count) {
    if (count <= 0) return;
    for (int i = 0; i < count; ++i) SendImageRect(display, window, output, rects[i]);
    WaitForImageRects(display, output);
}

void PopulateWindowImage(const WindowImage* output) {
#ifdef MADV_POPULATE_WRITE
    // One call maps the pages of a fresh image (33 MB at 3840x2160) without
    // the first paint taking a page fault for each; in full screen it runs
    // while the server maps the window. Kernels before 5.14 refuse it, and
    // the paint faults the pages in as before.
    const long page = sysconf(_SC_PAGESIZE);
    const auto populate = [page](void* memory, size_t bytes) {
        if (memory == nullptr || page <= 0) return;
        const uintptr_t start = reinterpret_cast<uintptr_t>(memory) & ~static_cast<uintptr_t>(page - 1);
        const uintptr_t end = reinterpret_cast<uintptr_t>(memory) + bytes;
        madvise(reinterpret_cast<void*>(start), end - start, MADV_POPULATE_WRITE);
    };
    if (output->image) populate(output->image->data, ImageBytes(output->image));
    const RgbPixels& surface = output->surface;
    populate(output->surfaceMemory, static_cast<size_t>(surface.pitch) * static_cast<size_t>(surface.area.height) * 4);
#else
    (void)output;
#endif
}

void DestroyWindowImage(Display* display, WindowImage* output) {
    if (output->image) {
        if (output->usesShm) {
            ReleaseShmImage(display, output, 1);
        } else {
            XDestroyImage(output->image);  // frees the calloc'd data too
        }
    }
    if (output->gc) XFreeGC(display, output->gc);
    free(output->surfaceMemory);
    memset(output, 0, sizeof *output);
}
