// DrawImage on Windows: the pixels go to GDI as indices into the palette
// selected into the device context.
#include <windows.h>

#include "image/compose.h"
#include "image/image.h"
#include "platform/platform.h"

namespace {

// Loaded images have no descriptor of their own; `local` serves then.
const DisplayInfo* DisplayInfoOf(const Image* image, DisplayInfo* local)
{
    if (image->displayInfo) return image->displayInfo;
    local->info = image->header->info;
    local->info.biClrUsed = 0;
    for (int i = 0; i < kColorCount; ++i) local->indices[i] = static_cast<uint16_t>(i);
    return local;
}

}  // namespace

void DrawImage(const Image* image, DrawTarget target, int x, int y, int width, int height)
{
    if (!image || !image->header || !image->pixels || !target) return;
    DisplayInfo local;
    const DisplayInfo* display = DisplayInfoOf(image, &local);
    SetStretchBltMode(target, COLORONCOLOR);
    StretchDIBits(target, x, y, width, height, 0, 0, ImageWidth(image), ImageHeight(image),
                  image->pixels, reinterpret_cast<const BITMAPINFO*>(display), DIB_PAL_COLORS,
                  SRCCOPY);
}

void DrawImageParts(const Image* image, DrawTarget target, int x, int y, const ImagePart* parts, int count)
{
    if (!image || !image->header || !image->pixels || !target || !parts) return;
    DisplayInfo local;
    const DisplayInfo* display = DisplayInfoOf(image, &local);
    for (int i = 0; i < count; ++i) {
        int64_t sx = parts[i].x, sy = parts[i].y, columns = parts[i].width, rows = parts[i].height;
        if (!ClipSpan(sx, columns, ImageWidth(image)) || !ClipSpan(sy, rows, ImageHeight(image))) continue;
        // The bitmap is bottom-up: GDI counts source rows from the bottom.
        SetDIBitsToDevice(target, int(x + sx), int(y + sy), DWORD(columns), DWORD(rows), int(sx),
                          int(ImageHeight(image) - sy - rows), 0, DWORD(ImageHeight(image)), image->pixels,
                          reinterpret_cast<const BITMAPINFO*>(display), DIB_PAL_COLORS);
    }
}
