// Loading of 8-bit DIBs (bitmap resources without the file header): the
// header is validated before anything is allocated, then the pixels are
// copied or RLE8-decoded into a fresh buffer.
#include "image/image.h"

#include <cstdlib>
#include <cstring>

namespace {

// Byte offset of the pixel data: the 40-byte header and a 256-entry colour
// table, whatever biClrUsed says.
constexpr size_t kPixelDataOffset = sizeof(ImageHeader);

int DibHeaderIsSound(const BitmapInfoHeader& info) {
    if (info.biSize != sizeof(BitmapInfoHeader)) return 0;
    // Rows are bottom-up, so the height is positive; the cap keeps
    // stride x height far from overflow on 32-bit targets too.
    if (!ImageSizeIsSane(info.biWidth, info.biHeight)) return 0;
    // Any other bit count lays its pixels out differently from our buffer.
    if (info.biBitCount != 8) return 0;
    return info.biCompression == kBiRgb || info.biCompression == kBiRle8;
}

void CopyUncompressed(const uint8_t* data, size_t available, const BitmapInfoHeader& info, uint8_t* pixels,
                      size_t bufferSize) {
    // biSizeImage may be 0 for uncompressed DIBs, meaning "the whole buffer".
    size_t count = info.biSizeImage ? info.biSizeImage : bufferSize;
    if (count > bufferSize) count = bufferSize;
    if (count > available) count = available;
    memcpy(pixels, data, count);
}

}  // namespace

Image* LoadBitmapFromDib(const uint8_t* dib, size_t size) {
    if (!dib || size < sizeof(ImageHeader)) return nullptr;
    BitmapInfoHeader info;
    memcpy(&info, dib, sizeof(info));
    if (!DibHeaderIsSound(info)) return nullptr;
    size_t bufferSize = static_cast<size_t>(StrideForWidth(info.biWidth)) * static_cast<size_t>(info.biHeight);

    Image* image = static_cast<Image*>(calloc(1, sizeof(Image)));
    if (!image) return nullptr;
    image->remap = static_cast<RemapTable*>(malloc(sizeof(RemapTable)));
    image->header = static_cast<ImageHeader*>(malloc(sizeof(ImageHeader)));
    // Zeroed so that pixels no RLE code writes are index 0, not heap garbage.
    image->pixels = static_cast<uint8_t*>(calloc(bufferSize, 1));
    if (!image->remap || !image->header || !image->pixels) {
        DestroyImage(image);
        return nullptr;
    }
    memcpy(image->header, dib, sizeof(ImageHeader));

    const uint8_t* data = dib + kPixelDataOffset;
    size_t available = size - kPixelDataOffset;
    if (info.biCompression == kBiRgb)
        CopyUncompressed(data, available, info, image->pixels, bufferSize);
    else
        DecodeRle8(data, available, image->pixels, image->header);

    // The record now describes the decoded buffer it holds.
    image->header->info.biCompression = kBiRgb;
    image->header->info.biSizeImage = static_cast<uint32_t>(bufferSize);
    return image;
}
