// The display seen by the core where there is no GDI: a true-colour screen
// without a hardware palette, so palettes are plain records and the nearest
// colour is searched in their entries.
#include "image/palette.h"
#include "image/ports.h"

#include <cstring>

void ReadDisplayPalette(DisplayPaletteInfo* display) {
    display->staticColors = -1;
    display->paletteSize = 0;
    memset(display->systemEntries, 0, sizeof(display->systemEntries));
}

namespace {
char paletteToken;  // stands for "created"; there is no platform object
}

void* CreatePlatformPalette(const PaletteEntry*) { return &paletteToken; }

void DestroyPlatformPalette(void*) {}

int PlatformNearestPaletteIndex(void*, uint8_t, uint8_t, uint8_t) { return -1; }
