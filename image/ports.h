// The core's ports: what the portable core asks of the system under it,
// bitmap resources and the palettes of the display and the platform. They
// live in image/ because only image/ calls them (the resource loader and the
// scene palette), so the core declares what it needs and platform/ implements
// it from above: platform/*_win32.cpp with GDI and module resources,
// platform/*_posix.cpp with embedded DIBs. Programs that run the core link
// exactly one set; the services only hosts use are in platform/services.h.
#pragma once

#include <cstddef>
#include <cstdint>

struct PaletteEntry;
struct DisplayPaletteInfo;

// ---- Resources ----

// The bytes of bitmap resource `id` (a DIB without file header). 1 when found.
int FindBitmapResource(int id, const uint8_t** data, size_t* size);

// ---- The display's palette and the platform's palettes ----

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
