// Helpers of the image tests: images with known pixels and colours, and DIB
// byte arrays built field by field.
#pragma once

#include <cstring>
#include <vector>

#include "image/image.h"

// A created image whose colour i is (red i, green 255 - i, blue 3 i).
inline Image* MakeTestImage(int width, int height) {
    Image* image = CreateImage(width, height, nullptr);
    if (!image) return nullptr;
    for (int i = 0; i < kColorCount; ++i)
        image->header->colors[i] = RgbQuad{uint8_t(3 * i), uint8_t(255 - i), uint8_t(i), 0};
    return image;
}

// Pixel (x, y) = (x + 16 y) low byte, so every pixel tells where it came from.
inline Image* MakeNumberedImage(int width, int height) {
    Image* image = MakeTestImage(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) *PixelAddress(image, x, y) = uint8_t(x + 16 * y);
    return image;
}

inline BitmapInfoHeader DibInfo(int width, int height, uint32_t compression, uint32_t sizeImage) {
    BitmapInfoHeader info{};
    info.biSize = 40;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biCompression = compression;
    info.biSizeImage = sizeImage;
    info.biClrUsed = 256;
    return info;
}

// Header, a colour table whose entry i is grey i, then the pixel data.
inline std::vector<uint8_t> MakeDib(const BitmapInfoHeader& info, const std::vector<uint8_t>& data) {
    std::vector<uint8_t> dib(sizeof(ImageHeader) + data.size());
    memcpy(dib.data(), &info, sizeof(info));
    for (int i = 0; i < kColorCount; ++i) memset(&dib[40 + 4 * i], i, 3);
    if (!data.empty()) memcpy(dib.data() + sizeof(ImageHeader), data.data(), data.size());
    return dib;
}

// The pixels of rows y = 0.. top to bottom, without padding.
inline std::vector<uint8_t> RowsTopDown(const Image* image) {
    std::vector<uint8_t> out;
    for (int y = 0; y < ImageHeight(image); ++y)
        for (int x = 0; x < ImageWidth(image); ++x) out.push_back(*PixelAddress(image, x, y));
    return out;
}
