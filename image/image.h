// The Image record: an 8-bit, 256-colour, bottom-up bitmap held in the Windows
// BMP memory layout, and the operations that create, load and decode one.
#pragma once

#include <cstddef>
#include <cstdint>

// Same byte layout as the Win32 BITMAPINFOHEADER; the Windows build proves it
// with static_asserts so these records can be handed to GDI unchanged.
struct BitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight;
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression;
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
};

// Same layout as RGBQUAD: blue first.
struct RgbQuad {
    uint8_t rgbBlue;
    uint8_t rgbGreen;
    uint8_t rgbRed;
    uint8_t rgbReserved;
};

constexpr uint32_t kBiRgb = 0;
constexpr uint32_t kBiRle8 = 1;
constexpr int kColorCount = 256;

// 40-byte header followed by exactly 256 colour entries (1064 bytes).
struct ImageHeader {
    BitmapInfoHeader info;
    RgbQuad colors[kColorCount];
};

// What GDI is handed for DIB_PAL_COLORS drawing: the header with biClrUsed 0
// and the index table 0..255 (552 bytes).
struct DisplayInfo {
    BitmapInfoHeader info;
    uint16_t indices[kColorCount];
};

// Entry i is the scene-palette index that replaces colour index i.
struct RemapTable {
    uint8_t map[kColorCount];
};

static_assert(sizeof(BitmapInfoHeader) == 40);
static_assert(sizeof(RgbQuad) == 4);
static_assert(sizeof(ImageHeader) == 1064);
static_assert(sizeof(DisplayInfo) == 552);
static_assert(sizeof(RemapTable) == 256);

// Four separately allocated blocks; pixels are stored bottom row first, each
// row padded to ImageStride bytes.
struct Image {
    uint8_t* pixels;
    ImageHeader* header;
    DisplayInfo* displayInfo;  // only images made by CreateImage have one
    RemapTable* remap;
};

// Largest width or height accepted for an image, loaded or created; keeps
// stride x height well inside 32 bits.
constexpr int kMaxImageSide = 16384;

// 1 when both sides are positive and at most kMaxImageSide.
int ImageSizeIsSane(int64_t width, int64_t height);
// The width rounded up to a multiple of 4.
int64_t StrideForWidth(int64_t width);

// New blank image (all pixels and padding 0) with the source's colour table;
// null on failure or for sizes that are not positive or too large.
Image* CreateImage(int width, int height, const Image* source);

// Releases all four blocks and the record. Null is allowed.
void DestroyImage(Image* image);

// Loads bitmap resource `id` of the program (FindBitmapResource of
// image/ports.h); null when it does not exist or is not a sound 8-bit DIB.
Image* LoadBitmapResource(int id);

// Same as LoadBitmapResource, from DIB bytes already in memory (no file header).
Image* LoadBitmapFromDib(const uint8_t* dib, size_t size);

// Decodes a BI_RLE8 stream of `sourceSize` bytes into the pixel buffer sized
// by `header` (stride x height). Never reads past the stream nor writes
// outside the buffer: a code that would do either ends decoding.
void DecodeRle8(const uint8_t* source, size_t sourceSize, uint8_t* pixels, const ImageHeader* header);

DisplayInfo* BuildDisplayInfo(Image* image);

// Inline: every blit and every sprite row asks for them.
inline int ImageWidth(const Image* image) { return image->header->info.biWidth; }
inline int ImageHeight(const Image* image) { return image->header->info.biHeight; }
inline int ImageStride(const Image* image) { return (image->header->info.biWidth + 3) & ~3; }
inline uint8_t* ImagePixels(const Image* image) { return image->pixels; }
inline RgbQuad* ImageColorTable(const Image* image) { return image->header->colors; }
// Pixel (x, y), y counted from the top row. Does not check bounds.
inline uint8_t* PixelAddress(const Image* image, int x, int y) {
    const ptrdiff_t row = ImageHeight(image) - 1 - y;
    return image->pixels + row * ImageStride(image) + x;
}

// An image walked from its top row, for loops that look its header up once.
struct ImageRows {
    uint8_t* topRow;
    int stride, width, height;
};

inline ImageRows RowsOf(const Image* image) {
    return {PixelAddress(image, 0, 0), ImageStride(image), ImageWidth(image), ImageHeight(image)};
}
// Pixel (x, y) of those rows: rows are stored bottom-up. Does not check bounds.
inline uint8_t* RowsPixel(const ImageRows& rows, int x, int y) {
    return rows.topRow - static_cast<ptrdiff_t>(y) * rows.stride + x;
}
