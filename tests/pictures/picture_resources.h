// Helpers of the picture tests: the program's bitmap resources as raw DIB
// bytes and as loaded images, and the scene's sizes for each resolution class.
#pragma once

#include <cstring>
#include <memory>

#include "image/compose.h"
#include "image/image.h"
#include "image/ports.h"

struct ImageDeleter {
    void operator()(Image* image) const { DestroyImage(image); }
};
using ImagePtr = std::unique_ptr<Image, ImageDeleter>;

inline ImagePtr LoadPicture(int id) { return ImagePtr(LoadBitmapResource(id)); }

struct RawDib {
    const uint8_t* data = nullptr;
    size_t size = 0;
    BitmapInfoHeader info{};
};

// The resource's bytes and its header; 0 when it is missing or too short.
inline int FindRawDib(int id, RawDib* dib) {
    if (!FindBitmapResource(id, &dib->data, &dib->size) || dib->size < sizeof(ImageHeader)) return 0;
    std::memcpy(&dib->info, dib->data, sizeof dib->info);
    return 1;
}

inline uint8_t PixelOf(const Image* image, int x, int y) { return *PixelAddress(image, x, y); }

// Picture sizes of resolution classes 0 to 2 on their standard screens.
constexpr int kClassWidths[3] = {1024, 800, 640};
constexpr int kClassHeights[3] = {768, 600, 480};
