// Conversion of the scene's 0x00RRGGBB surface into the pixels of a
// TrueColor visual.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/rect.h"
#include "image/screen_scale.h"

// How the window's visual stores one pixel. `alphaMask` holds the bits of a
// 32-deep (ARGB) visual outside the colour masks; they are set to opaque.
struct PixelFormat {
    unsigned long redMask, greenMask, blueMask;
    int bitsPerPixel;
    unsigned long alphaMask;
};

// The visual's bits for each 8-bit level of each channel; a pixel is the OR of
// its three entries, so no per-pixel colour search is ever made.
struct ChannelTables {
    uint32_t red[256];
    uint32_t green[256];
    uint32_t blue[256];
};

void BuildChannelTables(const PixelFormat* format, ChannelTables* tables);
// 1 when the visual stores pixels exactly as the surface does (0x00RRGGBB in
// 32 bits), so the surface can be the image memory itself.
int FormatMatchesSurface(const PixelFormat* format);
// Converts `rect` (inside the surface) into `destination`, an image of the
// surface's size with `destinationPitch` bytes per row and 8, 16 or 32 bits
// per pixel in host byte order. 0 for other pixel sizes (nothing written).
int ConvertRect(const RgbPixels* surface, Rect rect, const ChannelTables* tables, int bitsPerPixel,
                uint8_t* destination, size_t destinationPitch);
