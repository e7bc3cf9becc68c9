// The page's canvas bytes: what a tick of the screen view wrote, converted
// from the view's 0x00RRGGBB pixels to the canvas's R, G, B, A bytes.
#pragma once

#include <cstdint>

#include "scene/screen_view.h"

// The pixels of `area` of a width-wide surface into the canvas bytes
// (4 per pixel, the same width).
void CopyToCanvas(const uint32_t* pixels, int width, Rect area, uint8_t* rgba);
// The rectangles the view's last tick wrote, each on its own: their
// bounding box is mostly pixels the tick did not touch.
void CopyChangesToCanvas(const ScreenView& view, const uint32_t* pixels, int width, uint8_t* rgba);
