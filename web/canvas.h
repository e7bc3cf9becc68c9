// The page's canvas bytes: the view writes them itself, each pixel as the
// bytes R, G, B, A.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/screen_view.h"

// Makes the view write the canvas's byte order: its colours as 0xFFBBGGRR,
// which a little-endian machine (the web's) stores as R, G, B, 255. Every
// scaling blends red and blue alike and keeps the top byte, so whatever the
// picture size, what the view writes is the same colours with those two
// bytes swapped. Only the black around the picture keeps 0 there: see
// MakeOpaque.
void UseCanvasByteOrder(ScreenView& view);

// Gives every pixel 255 for alpha. The black the view puts around the
// picture, written only as it paints the whole screen, has 0 there, which a
// canvas that keeps alpha, or a screenshot of one, shows as transparent.
void MakeOpaque(std::vector<uint32_t>& pixels);
