// The image subsystem's platform on Windows: bitmap resources of a module,
// the screen's palette through GDI, and GDI logical palettes.
#include <windows.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "image/palette.h"
#include "image/platform.h"

// Our records are handed to GDI as they are, so they must match its layouts.
static_assert(sizeof(BitmapInfoHeader) == sizeof(BITMAPINFOHEADER));
static_assert(offsetof(BitmapInfoHeader, biWidth) == offsetof(BITMAPINFOHEADER, biWidth));
static_assert(offsetof(BitmapInfoHeader, biHeight) == offsetof(BITMAPINFOHEADER, biHeight));
static_assert(offsetof(BitmapInfoHeader, biPlanes) == offsetof(BITMAPINFOHEADER, biPlanes));
static_assert(offsetof(BitmapInfoHeader, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount));
static_assert(offsetof(BitmapInfoHeader, biCompression) ==
              offsetof(BITMAPINFOHEADER, biCompression));
static_assert(offsetof(BitmapInfoHeader, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage));
static_assert(offsetof(BitmapInfoHeader, biClrUsed) == offsetof(BITMAPINFOHEADER, biClrUsed));
static_assert(offsetof(BitmapInfoHeader, biClrImportant) ==
              offsetof(BITMAPINFOHEADER, biClrImportant));
static_assert(sizeof(RgbQuad) == sizeof(RGBQUAD));
static_assert(offsetof(RgbQuad, rgbBlue) == offsetof(RGBQUAD, rgbBlue));
static_assert(offsetof(RgbQuad, rgbRed) == offsetof(RGBQUAD, rgbRed));
static_assert(offsetof(ImageHeader, colors) == offsetof(BITMAPINFO, bmiColors));
static_assert(offsetof(DisplayInfo, indices) == offsetof(BITMAPINFO, bmiColors));
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY));
static_assert(offsetof(PaletteEntry, peRed) == offsetof(PALETTEENTRY, peRed));
static_assert(offsetof(PaletteEntry, peBlue) == offsetof(PALETTEENTRY, peBlue));
static_assert(offsetof(PaletteEntry, peFlags) == offsetof(PALETTEENTRY, peFlags));

namespace {
HMODULE resourceModule = nullptr;
}

void SetResourceModule(void* moduleInstance)
{
    resourceModule = static_cast<HMODULE>(moduleInstance);
}

int FindBitmapResource(int id, const uint8_t** data, size_t* size)
{
    HMODULE module = resourceModule ? resourceModule : GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));  // RT_BITMAP
    if (!found) return 0;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return 0;
    const void* bytes = LockResource(loaded);
    DWORD length = SizeofResource(module, found);
    if (!bytes || length == 0) return 0;
    // Module resources stay mapped while the module is loaded; FreeResource
    // has nothing to release on Win32.
    *data = static_cast<const uint8_t*>(bytes);
    *size = length;
    return 1;
}

void ReadDisplayPalette(DisplayPaletteInfo* display)
{
    memset(display, 0, sizeof(*display));
    display->staticColors = -1;
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    // Fails on displays without a palette, leaving the entries zero.
    GetSystemPaletteEntries(screen, 0, kColorCount,
                            reinterpret_cast<PALETTEENTRY*>(display->systemEntries));
    display->staticColors = GetDeviceCaps(screen, NUMCOLORS);
    display->paletteSize = GetDeviceCaps(screen, SIZEPALETTE);
    ReleaseDC(nullptr, screen);
}

void* CreatePlatformPalette(const PaletteEntry* entries)
{
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

void DestroyPlatformPalette(void* platformPalette)
{
    if (platformPalette) DeleteObject(static_cast<HPALETTE>(platformPalette));
}

int PlatformNearestPaletteIndex(void* platformPalette, uint8_t red, uint8_t green, uint8_t blue)
{
    if (!platformPalette) return -1;
    UINT index = GetNearestPaletteIndex(static_cast<HPALETTE>(platformPalette), RGB(red, green, blue));
    if (index == CLR_INVALID) return -1;
    return static_cast<int>(index & 0xFF);
}
