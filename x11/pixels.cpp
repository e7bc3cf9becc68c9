// Conversion of the scene's 0x00RRGGBB surface into the pixels of a TrueColor
// visual through one 256-entry table per channel.
#include <cstring>

#include "image/compose.h"
#include "x11/pixels.h"

namespace {

int LowestSetBit(unsigned long mask) {
    int shift = 0;
    while (shift < 32 && !((mask >> shift) & 1)) ++shift;
    return shift;
}

// The channel level `level` (0..255) rounded to the nearest value the mask can
// hold, placed at the mask's position.
uint32_t ChannelBits(int level, unsigned long mask) {
    mask &= 0xFFFFFFFFUL;
    if (!mask) return 0;
    int shift = LowestSetBit(mask);
    uint64_t maximum = mask >> shift;
    uint64_t scaled = (static_cast<uint64_t>(level) * maximum + 127) / 255;
    return static_cast<uint32_t>((scaled << shift) & mask);
}

void ConvertRow32(const uint32_t* source, const ChannelTables* tables, uint32_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t rgb = source[i];
        out[i] = tables->red[(rgb >> 16) & 0xFF] | tables->green[(rgb >> 8) & 0xFF] | tables->blue[rgb & 0xFF];
    }
}

void ConvertRow16(const uint32_t* source, const ChannelTables* tables, uint16_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t rgb = source[i];
        out[i] = static_cast<uint16_t>(tables->red[(rgb >> 16) & 0xFF] | tables->green[(rgb >> 8) & 0xFF] |
                                       tables->blue[rgb & 0xFF]);
    }
}

void ConvertRow8(const uint32_t* source, const ChannelTables* tables, uint8_t* out, int count) {
    for (int i = 0; i < count; ++i) {
        uint32_t rgb = source[i];
        out[i] = static_cast<uint8_t>(tables->red[(rgb >> 16) & 0xFF] | tables->green[(rgb >> 8) & 0xFF] |
                                      tables->blue[rgb & 0xFF]);
    }
}

}  // namespace

void BuildChannelTables(const PixelFormat* format, ChannelTables* tables) {
    // Every pixel takes one entry of each table, so the red one carries the alpha bits.
    const uint32_t opaque = static_cast<uint32_t>(format->alphaMask & 0xFFFFFFFFUL);
    for (int level = 0; level < 256; ++level) {
        tables->red[level] = ChannelBits(level, format->redMask) | opaque;
        tables->green[level] = ChannelBits(level, format->greenMask);
        tables->blue[level] = ChannelBits(level, format->blueMask);
    }
}

int FormatMatchesSurface(const PixelFormat* format) {
    return format->bitsPerPixel == 32 && format->alphaMask == 0 && format->redMask == 0xFF0000 &&
           format->greenMask == 0x00FF00 && format->blueMask == 0x0000FF;
}

int ConvertRect(const RgbPixels* surface, Rect rect, const ChannelTables* tables, int bitsPerPixel,
                uint8_t* destination, size_t destinationPitch) {
    if (bitsPerPixel != 8 && bitsPerPixel != 16 && bitsPerPixel != 32) return 0;
    rect = ClipTo(rect, surface->area.width, surface->area.height);
    size_t bytesPerPixel = static_cast<size_t>(bitsPerPixel / 8);
    for (int y = rect.y; y < rect.y + rect.height; ++y) {
        const uint32_t* source =
            surface->pixels + static_cast<size_t>(y) * static_cast<size_t>(surface->pitch) + rect.x;
        uint8_t* row =
            destination + static_cast<size_t>(y) * destinationPitch + static_cast<size_t>(rect.x) * bytesPerPixel;
        if (bitsPerPixel == 32) {
            ConvertRow32(source, tables, reinterpret_cast<uint32_t*>(row), rect.width);
        } else if (bitsPerPixel == 16) {
            ConvertRow16(source, tables, reinterpret_cast<uint16_t*>(row), rect.width);
        } else {
            ConvertRow8(source, tables, row, rect.width);
        }
    }
    return 1;
}
