// The canvas's byte order for the view's colours.
#include "web/canvas.h"

void UseCanvasByteOrder(ScreenView& view) {
    for (uint32_t& colour : view.rgbTable) {
        colour = 0xFF000000u | (colour & 0x00FF00u) | (colour >> 16 & 0xFFu) | (colour & 0xFFu) << 16;
    }
}

void MakeOpaque(std::vector<uint32_t>& pixels) {
    for (uint32_t& pixel : pixels) pixel |= 0xFF000000u;
}
