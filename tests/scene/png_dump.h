// A PNG of an 8-bit image in the scene palette's colours, for a person to
// look at when a recorded frame hash no longer matches (no libraries needed).
#pragma once

#include "image/image.h"
#include "image/palette.h"

// 1 when the file was written.
int DumpImagePng(const char* path, const Image* image, const Palette* palette);
