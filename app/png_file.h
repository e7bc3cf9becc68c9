// PNG files of 8-bit samples for the tools and the tests: the chunk format
// here, the compression chosen by the caller (zlib's where it is built).
#pragma once

#include <cstdint>
#include <vector>

enum PngColorType { kPngRgb = 2, kPngIndexed = 3 };

struct PngPicture {
    int width;
    int height;
    PngColorType colorType;
    std::vector<uint8_t> samples;  // rows top to bottom: width x 3 (RGB) or width bytes each
    std::vector<uint8_t> palette;  // indexed only: red, green, blue per entry
};

// Makes the zlib stream of the filtered rows; empty on failure.
using PngDeflater = std::vector<uint8_t> (*)(const std::vector<uint8_t>& rows);

// The file's bytes, every row unfiltered; empty when the deflater fails.
std::vector<uint8_t> EncodePng(const PngPicture& picture, PngDeflater deflate);
// Stored (uncompressed) deflate blocks: needs no library, so it works on every target.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& rows);
// zlib at its best compression, so the same picture always gives the same
// bytes (png_zlib.cpp; built only where zlib is).
std::vector<uint8_t> BestZlib(const std::vector<uint8_t>& rows);

// 1 when all of `bytes` went into a new file at `path`.
int WriteFileBytes(const char* path, const std::vector<uint8_t>& bytes);
