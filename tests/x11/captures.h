// Screen captures against zarvo-render's pictures: differences, the frame
// strip's place, and waits for a picture or for a change on screen.
#pragma once

#include <X11/Xlib.h>

#include <string>

#include "harness.h"
#include "scene/scene.h"

struct Difference {
    long count = 0;  // -1: pictures of different sizes; -2: nothing captured
    int x = 0, y = 0;
    uint32_t expected = 0, got = 0;
};

// Pixels whose channels differ by more than `tolerance`, outside `skip`.
Difference Compare(const Picture& expected, const Picture& got, int tolerance, Rect skip = {0, 0, 0, 0});
std::string Describe(const Difference& difference);
// Where the strip lies for a window of this size, as the scene lays it out.
Rect FrameStripFor(int width, int height);

// zarvo-render's picture of `size` ("WxH") after `ticks` frames from `seed`;
// `extra` is one more option and its value ("--settings FILE").
Picture Render(const std::string& size, int seed, int ticks, const std::string& extra = "");

// Captures until the window shows `expected` at (x, y) (within tolerance,
// outside `skip`) or the time is up; the last difference found.
Difference WaitForPicture(Display* display, Window window, int x, int y, const Picture& expected, int tolerance,
                          Rect skip, int timeoutMs);
// Captures `area` of the window until it differs from `first` (captured
// there before) or the time is up; the last difference found.
Difference WaitForChange(Display* display, Window window, Rect area, const Picture& first, int timeoutMs);
