// The scene palette: its layout from the display's static colours and the
// background's colour table, nearest-colour lookup, and image translation.
#include "image/palette.h"
#include "image/ports.h"

#include <cstdlib>
#include <cstring>

namespace {

// Half the static colour count, kept inside the palette whatever the display
// reports (-1 on true-colour displays gives 0).
int ReservedAtEachEnd(int staticColors) {
    int h = staticColors / 2;
    if (h < 0) return 0;
    return h > kColorCount / 2 ? kColorCount / 2 : h;
}

void LayOutSceneEntries(PaletteEntry* entries, const Image* image, const DisplayPaletteInfo* display) {
    memcpy(entries, display->systemEntries, sizeof(display->systemEntries));
    int systemSize = display->paletteSize < kColorCount ? display->paletteSize : kColorCount;
    for (int i = 0; i < systemSize; ++i) entries[i].peFlags = 0;

    int h = ReservedAtEachEnd(display->staticColors);
    const RgbQuad* colors = image->header->colors;
    for (int i = h; i < kColorCount - h; ++i) {
        entries[i].peRed = colors[i - h].rgbRed;
        entries[i].peGreen = colors[i - h].rgbGreen;
        entries[i].peBlue = colors[i - h].rgbBlue;
        entries[i].peFlags = kPcReserved;
    }
}

int SearchNearestEntry(const PaletteEntry* entries, uint8_t red, uint8_t green, uint8_t blue) {
    int best = 0;
    int bestDistance = 0x7fffffff;
    for (int i = 0; i < kColorCount && bestDistance != 0; ++i) {
        int dr = entries[i].peRed - red;
        int dg = entries[i].peGreen - green;
        int db = entries[i].peBlue - blue;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {  // strict: ties keep the lower index
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

Palette* CreateScenePaletteFor(const Image* image, const DisplayPaletteInfo* display) {
    if (!image || !image->header || !display) return nullptr;
    Palette* palette = static_cast<Palette*>(calloc(1, sizeof(Palette)));
    if (!palette) return nullptr;
    LayOutSceneEntries(palette->entries, image, display);
    palette->platformPalette = CreatePlatformPalette(palette->entries);
    if (!palette->platformPalette) {
        free(palette);
        return nullptr;
    }
    return palette;
}

Palette* CreateScenePalette(const Image* image) {
    DisplayPaletteInfo display;
    ReadDisplayPalette(&display);
    return CreateScenePaletteFor(image, &display);
}

void DestroyPalette(Palette* palette) {
    if (!palette) return;
    DestroyPlatformPalette(palette->platformPalette);
    free(palette);
}

int NearestPaletteIndex(const Palette* palette, uint8_t red, uint8_t green, uint8_t blue) {
    if (!palette) return -1;
    int index = PlatformNearestPaletteIndex(palette->platformPalette, red, green, blue);
    if (index >= 0) return index;
    return SearchNearestEntry(palette->entries, red, green, blue);
}

void BuildRemapTable(Image* image, const Palette* palette) {
    if (!palette || !image || !image->header) return;
    if (!image->remap) image->remap = static_cast<RemapTable*>(malloc(sizeof(RemapTable)));
    if (!image->remap) return;

    RgbQuad* colors = image->header->colors;
    for (int i = 0; i < kColorCount; ++i) {
        int index = NearestPaletteIndex(palette, colors[i].rgbRed, colors[i].rgbGreen, colors[i].rgbBlue);
        image->remap->map[i] = static_cast<uint8_t>(index);
    }
    for (int i = 0; i < kColorCount; ++i) {
        colors[i].rgbRed = palette->entries[i].peRed;
        colors[i].rgbGreen = palette->entries[i].peGreen;
        colors[i].rgbBlue = palette->entries[i].peBlue;
    }
}

int RemapImage(Image* image, const Palette* palette) {
    if (!palette || !image || !image->header || !image->pixels) return 0;
    BuildRemapTable(image, palette);
    if (!image->remap) return 0;
    const uint8_t* map = image->remap->map;
    uint8_t* pixels = image->pixels;
    // Row padding included, so the whole buffer is in palette indices.
    size_t size = static_cast<size_t>(ImageStride(image)) * static_cast<size_t>(ImageHeight(image));
    for (size_t i = 0; i < size; ++i) pixels[i] = map[pixels[i]];
    return 1;
}
