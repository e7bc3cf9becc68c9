// The bitmaps built into a program where there are no Windows resources:
// the table resources_posix.cpp searches for FindBitmapResource. The source
// that zarvo_embed_bitmaps (cmake/EmbedBitmaps.cmake) generates defines both;
// a program that links the platform links exactly one such source.
#pragma once

#include <cstddef>
#include <cstdint>

struct EmbeddedBitmap {
    int id;
    const uint8_t* data;  // DIB bytes: the BMP file without its 14-byte file header
    size_t size;
};
extern const EmbeddedBitmap embeddedBitmaps[];
extern const int embeddedBitmapCount;
