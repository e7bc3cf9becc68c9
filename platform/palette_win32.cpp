// The display's palette through GDI and GDI logical palettes; and the proof
// that the image records can be handed to GDI as they are.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "image/palette.h"
#include "image/ports.h"

// Our records are handed to GDI as they are, so they must match its layouts.
static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER));
static_assert(offsetof(BitmapInfoHeader, biWidth) == offsetof(BITMAPINFOHEADER, biWidth));
static_assert(offsetof(BitmapInfoHeader, biHeight) == offsetof(BITMAPINFOHEADER, biHeight));
static_assert(offsetof(BitmapInfoHeader, biPlanes) == offsetof(BITMAPINFOHEADER, biPlanes));
static_assert(offsetof(BitmapInfoHeader, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount));
static_assert(offsetof(BitmapInfoHeader, biCompression) == offsetof(BITMAPINFOHEADER, biCompression));
static_assert(offsetof(BitmapInfoHeader, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage));
static_assert(offsetof(BitmapInfoHeader, biClrUsed) == offsetof(BITMAPINFOHEADER, biClrUsed));
static_assert(offsetof(BitmapInfoHeader, biClrImportant) == offsetof(BITMAPINFOHEADER, biClrImportant));
static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD));
static_assert(offsetof(RgbQuad, rgbBlue) == offsetof(RGBQUAD, rgbBlue));
static_assert(offsetof(RgbQuad, rgbRed) == offsetof(RGBQUAD, rgbRed));
static_assert(offsetof(ImageHeader, colors) == offsetof(BITMAPINFO, bmiColors));
static_assert(offsetof(DisplayInfo, indices) == offsetof(BITMAPINFO, bmiColors));
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY));
static_assert(offsetof(PaletteEntry, peRed) == offsetof(PALETTEENTRY, peRed));
static_assert(offsetof(PaletteEntry, peBlue) == offsetof(PALETTEENTRY, peBlue));
static_assert(offsetof(PaletteEntry, peFlags) == offsetof(PALETTEENTRY, peFlags));

void ReadDisplayPalette(DisplayPaletteInfo* display) {
    memset(display, 0, sizeof(*display));
    display->staticColors = -1;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    // Fails on displays without a palette, leaving the entries zero.
    GetSystemPaletteEntries(screen, 0, kColorCount, reinterpret_cast<PALETTEENTRY*>(display->systemEntries));
    display->staticColors = GetDeviceCaps(screen, NUMCOLORS);
    display->paletteSize = GetDeviceCaps(screen, SIZEPALETTE);
    ReleaseDC(nullptr, screen);
}

void* CreatePlatformPalette(const PaletteEntry* entries) {
    size_t bytes = offsetof(LOGPALETTE, palPalEntry) + kColorCount * sizeof(PALETTEENTRY);
    LOGPALETTE* logical = static_cast<LOGPALETTE*>(calloc(1, bytes));
    if (!logical) return nullptr;
    logical->palVersion = 0x300;
    logical->palNumEntries = kColorCount;
    memcpy(logical->palPalEntry, entries, kColorCount * sizeof(PALETTEENTRY));
    HPALETTE palette = CreatePalette(logical);
    free(logical);
    return palette;
}

void DestroyPlatformPalette(void* platformPalette) {
    if (platformPalette) DeleteObject(static_cast<HPALETTE>(platformPalette));
}

int PlatformNearestPaletteIndex(void* platformPalette, uint8_t red, uint8_t green, uint8_t blue) {
    if (!platformPalette) return -1;
    UINT index = GetNearestPaletteIndex(static_cast<HPALETTE>(platformPalette), RGB(red, green, blue));
    if (index == CLR_INVALID) return -1;
    return static_cast<int>(index & 0xFF);
}
