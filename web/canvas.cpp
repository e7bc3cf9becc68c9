// The conversion of the view's pixels into the canvas's bytes.
#include "web/canvas.h"

#include <cstddef>

void CopyToCanvas(const uint32_t* pixels, int width, Rect area, uint8_t* rgba) {
    for (int y = area.y; y < area.y + area.height; ++y) {
        const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = area.x; x < area.x + area.width; ++x) {
            const uint32_t pixel = pixels[row + static_cast<size_t>(x)];
            uint8_t* out = &rgba[4 * (row + static_cast<size_t>(x))];
            out[0] = static_cast<uint8_t>(pixel >> 16);
            out[1] = static_cast<uint8_t>(pixel >> 8);
            out[2] = static_cast<uint8_t>(pixel);
            out[3] = 255;
        }
    }
}

void CopyChangesToCanvas(const ScreenView& view, const uint32_t* pixels, int width, uint8_t* rgba) {
    for (int k = 0; k < view.changedCount; ++k) CopyToCanvas(pixels, width, view.changed[k], rgba);
}
