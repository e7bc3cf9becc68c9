// A scene's 256-entry palette and the translation of images to it.
#pragma once

#include "image/image.h"

// Same layout as PALETTEENTRY.
struct PaletteEntry {
    uint8_t peRed;
    uint8_t peGreen;
    uint8_t peBlue;
    uint8_t peFlags;
};
static_assert(sizeof(PaletteEntry) == 4);

constexpr uint8_t kPcReserved = 0x01;

// What the display reports about its palette: NUMCOLORS (-1 on a display with
// more than 8 bits per pixel), SIZEPALETTE, and the current system entries
// (all zero where the display has no palette).
struct DisplayPaletteInfo {
    int staticColors;
    int paletteSize;
    PaletteEntry systemEntries[kColorCount];
};

// A logical palette: its 256 entries, and on Windows the GDI palette made
// from them (null elsewhere).
struct Palette {
    PaletteEntry entries[kColorCount];
    void* platformPalette;
};

// Builds the palette from the display's static colours and the image's colour
// table (reads the display through the platform). Null on failure.
Palette* CreateScenePalette(const Image* image);
// The same from a given display description (what tests and headless hosts use).
Palette* CreateScenePaletteFor(const Image* image, const DisplayPaletteInfo* display);
void DestroyPalette(Palette* palette);

// Index of the closest entry to (red, green, blue) by squared distance; an
// exact match wins and ties go to the lowest index. -1 without a palette.
int NearestPaletteIndex(const Palette* palette, uint8_t red, uint8_t green, uint8_t blue);

void BuildRemapTable(Image* image, const Palette* palette);
int RemapImage(Image* image, const Palette* palette);
