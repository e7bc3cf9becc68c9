// Byte-level compositing of 8-bit images and putting an image on the screen.
// Rectangles are clipped to both images; nothing reads or writes outside.
#pragma once

#include "image/image.h"
#include "image/platform.h"

void FillImageRect(Image* image, int x, int y, int width, int height, int color);
void CopyImageRect(const Image* source, int sx, int sy, int width, int height,
                   Image* destination, int dx, int dy);
// Source pixels of value 0 leave the destination unchanged.
void BlitTransparent(const Image* source, int sx, int sy, int width, int height,
                     Image* destination, int dx, int dy);
// Nearest-neighbour resample in 16.16 fixed point. On success *holder refers to
// the new image (the old one is released) and the result is 1; 0 leaves it as it was.
int ScaleImage(Image** holder, double fx, double fy);
// Puts the whole image on the drawing target, each pixel in the colour of the
// palette entry at its value.
void DrawImage(const Image* image, DrawTarget target, int x, int y, int width, int height);
