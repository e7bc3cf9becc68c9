// Creation and release of Image records, their display descriptor, and the
// accessors that read the layout of the header and pixel blocks.
#include "image/image.h"

#include <cstdlib>
#include <cstring>

int ImageSizeIsSane(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide;
}

int64_t StrideForWidth(int64_t width) { return (width + 3) & ~int64_t{3}; }

Image* CreateImage(int width, int height, const Image* source) {
    if (!ImageSizeIsSane(width, height)) return nullptr;
    size_t size = static_cast<size_t>(StrideForWidth(width)) * static_cast<size_t>(height);

    Image* image = static_cast<Image*>(calloc(1, sizeof(Image)));
    if (!image) return nullptr;
    image->header = static_cast<ImageHeader*>(calloc(1, sizeof(ImageHeader)));
    image->pixels = static_cast<uint8_t*>(calloc(size, 1));  // padding included
    image->remap = static_cast<RemapTable*>(malloc(sizeof(RemapTable)));
    if (!image->header || !image->pixels || !image->remap) {
        DestroyImage(image);
        return nullptr;
    }

    BitmapInfoHeader& info = image->header->info;
    info.biSize = sizeof(BitmapInfoHeader);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biCompression = kBiRgb;
    info.biSizeImage = static_cast<uint32_t>(size);
    // A missing source leaves every colour black.
    if (source && source->header) memcpy(image->header->colors, source->header->colors, sizeof(image->header->colors));

    if (!BuildDisplayInfo(image)) {
        DestroyImage(image);
        return nullptr;
    }
    return image;
}

void DestroyImage(Image* image) {
    if (!image) return;
    free(image->pixels);
    free(image->header);
    free(image->displayInfo);
    free(image->remap);
    free(image);
}

DisplayInfo* BuildDisplayInfo(Image* image) {
    if (!image || !image->header) return nullptr;
    DisplayInfo* display = static_cast<DisplayInfo*>(malloc(sizeof(DisplayInfo)));
    if (!display) return nullptr;
    display->info = image->header->info;
    display->info.biClrUsed = 0;
    for (int i = 0; i < kColorCount; ++i) display->indices[i] = static_cast<uint16_t>(i);
    free(image->displayInfo);
    image->displayInfo = display;
    return display;
}
