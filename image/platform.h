// What the image subsystem needs from the platform: resource bytes by id, the
// display's palette, GDI palettes and the drawing target. Implemented once
// for Windows (GDI, module resources) and once for everything else
// (embedded DIBs, a true-colour RGB surface).
#pragma once

#include <cstddef>
#include <cstdint>

struct Palette;
struct PaletteEntry;
struct DisplayPaletteInfo;

#ifdef _WIN32
struct HDC__;
using DrawTarget = HDC__*;  // the device context, palette already selected
#else
// A 32-bit 0x00RRGGBB surface; `palette` plays the part of the palette
// selected into a device context.
struct RgbSurface {
    uint32_t* pixels;
    int width;
    int height;
    int pitch;  // in pixels
    const Palette* palette;
};
using DrawTarget = RgbSurface*;
#endif

// The bytes of bitmap resource `id` (a DIB without file header). 1 when found.
int FindBitmapResource(int id, const uint8_t** data, size_t* size);

#ifndef _WIN32
// The bitmaps built into a program for FindBitmapResource. The source that
// zarvo_embed_bitmaps (cmake/EmbedBitmaps.cmake) generates defines both;
// a program that loads bitmaps links exactly one such source.
struct EmbeddedBitmap {
    int id;
    const uint8_t* data;  // DIB bytes: the BMP file without its 14-byte file header
    size_t size;
};
extern const EmbeddedBitmap embeddedBitmaps[];
extern const int embeddedBitmapCount;
#endif

// Windows: the module whose resources are read (null: the executable).
void SetResourceModule(void* moduleInstance);

// Reads NUMCOLORS, SIZEPALETTE and the system palette of the screen. Where
// there is no hardware palette: -1, 0 and zeros.
void ReadDisplayPalette(DisplayPaletteInfo* display);

// Windows: creates the GDI palette for the entries (null on failure).
// Elsewhere returns a non-null token; there is nothing to create.
void* CreatePlatformPalette(const PaletteEntry* entries);
void DestroyPlatformPalette(void* platformPalette);

// Windows: GetNearestPaletteIndex on the GDI palette. -1 where the platform
// has no such lookup (the caller then searches the entries itself).
int PlatformNearestPaletteIndex(void* platformPalette, uint8_t red, uint8_t green, uint8_t blue);
