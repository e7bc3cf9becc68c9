// DrawImage where there is no GDI: converts 8-bit pixels into the 32-bit RGB
// surface through the surface's palette, clipped to the surface.
#include "image/compose.h"
#include "image/palette.h"
#include "platform/platform.h"

namespace {

// The palette that stands for the one selected into a device context; the
// image's own colour table when none is selected.
void BuildColorTable(const Image* image, const RgbSurface* surface, uint32_t* table)
{
    const Palette* palette = surface->palette;
    for (int i = 0; i < kColorCount; ++i) {
        if (palette) {
            const PaletteEntry& e = palette->entries[i];
            table[i] = uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
        } else {
            const RgbQuad& q = image->header->colors[i];
            table[i] = uint32_t{q.rgbRed} << 16 | uint32_t{q.rgbGreen} << 8 | q.rgbBlue;
        }
    }
}

}  // namespace

void DrawImage(const Image* image, DrawTarget target, int x, int y, int width, int height)
{
    if (!image || !image->header || !image->pixels || !target || !target->pixels) return;
    if (width <= 0 || height <= 0) return;
    uint32_t table[kColorCount];
    BuildColorTable(image, target, table);

    int64_t w = ImageWidth(image), h = ImageHeight(image);
    int64_t left = x, top = y, columns = width, rows = height;
    if (!ClipSpan(left, columns, target->width) || !ClipSpan(top, rows, target->height)) return;
    const int64_t right = left + columns, bottom = top + rows;
    // A size other than the image's drops or repeats rows and columns, as
    // COLORONCOLOR stretching does.
    for (int64_t Y = top; Y < bottom; ++Y) {
        int sourceRow = static_cast<int>((Y - y) * h / height);
        const uint8_t* in = PixelAddress(image, 0, sourceRow);
        uint32_t* out = target->pixels + Y * target->pitch;
        if (width == w) {
            for (int64_t X = left; X < right; ++X) out[X] = table[in[X - x]];
        } else {
            for (int64_t X = left; X < right; ++X) out[X] = table[in[(X - x) * w / width]];
        }
    }
}

void DrawImageParts(const Image* image, DrawTarget target, int x, int y, const ImagePart* parts, int count)
{
    if (!image || !image->header || !image->pixels || !target || !target->pixels || !parts) return;
    uint32_t table[kColorCount];
    BuildColorTable(image, target, table);
    for (int i = 0; i < count; ++i) {
        // Clipped to the image, then to the surface, each corner moving with the other.
        int64_t sx = parts[i].x, sy = parts[i].y, columns = parts[i].width, rows = parts[i].height;
        if (!ClipSpan(sx, columns, ImageWidth(image)) || !ClipSpan(sy, rows, ImageHeight(image))) continue;
        int64_t left = x + sx, top = y + sy;
        if (!ClipAxis(sx, left, columns, ImageWidth(image), target->width) ||
            !ClipAxis(sy, top, rows, ImageHeight(image), target->height)) {
            continue;
        }
        for (int64_t row = 0; row < rows; ++row) {
            const uint8_t* in = PixelAddress(image, int(sx), int(sy + row));
            uint32_t* out = target->pixels + (top + row) * target->pitch + left;
            for (int64_t column = 0; column < columns; ++column) out[column] = table[in[column]];
        }
    }
}
