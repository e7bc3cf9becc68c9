// DrawImage on Windows: the pixels go to GDI as indices into the palette
// selected into the device context.
#include <windows.h>

#include "image/image.h"
#include "platform/platform.h"

void DrawImage(const Image* image, DrawTarget target, int x, int y, int width, int height)
{
    if (!image || !image->header || !image->pixels || !target) return;
    // Loaded images have no descriptor of their own; one made here serves.
    DisplayInfo local;
    const DisplayInfo* display = image->displayInfo;
    if (!display) {
        local.info = image->header->info;
        local.info.biClrUsed = 0;
        for (int i = 0; i < kColorCount; ++i) local.indices[i] = static_cast<uint16_t>(i);
        display = &local;
    }
    SetStretchBltMode(target, COLORONCOLOR);
    StretchDIBits(target, x, y, width, height, 0, 0, ImageWidth(image), ImageHeight(image),
                  image->pixels, reinterpret_cast<const BITMAPINFO*>(display), DIB_PAL_COLORS,
                  SRCCOPY);
}
