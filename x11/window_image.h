// The image that carries the scene's surface to the window.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include "image/rect.h"
#include "image/screen_scale.h"
#include "x11/pixels.h"

struct WindowImage {
    RgbPixels surface;  // what the scene draws into
    XImage* image;      // the same pixels in the window's visual
    XShmSegmentInfo shmInfo;
    int usesShm;
    int direct;               // surface.pixels is image->data
    uint32_t* surfaceMemory;  // owned surface pixels when not direct
    PixelFormat format;
    ChannelTables tables;
    GC gc;
};

// An output of width x height for a window of the given visual. 1 on success.
int CreateWindowImage(Display* display, Window window, Visual* visual, int depth, int width, int height, int allowShm,
                      WindowImage* output);
// The pixel format of a visual whose images store `bitsPerPixel` bits.
PixelFormat VisualPixelFormat(const Visual* visual, int depth, int bitsPerPixel);
// Converts one rectangle of the surface and queues it for the server.
void SendImageRect(Display* display, Window window, WindowImage* output, Rect rect);
// Sends what is queued and, with shared memory, waits until the server has
// read it (the next tick writes into the same memory).
void WaitForImageRects(Display* display, const WindowImage* output);
// Sends `count` rectangles and waits once after them all.
void PutImageRects(Display* display, Window window, WindowImage* output, const Rect* rects, int count);
// Maps every page of the output's memory now rather than at first touch.
void PopulateWindowImage(const WindowImage* output);
void DestroyWindowImage(Display* display, WindowImage* output);
