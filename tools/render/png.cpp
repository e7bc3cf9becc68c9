// Writing the renderer's RGB surface as a PNG file with libpng.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "tools/render/render.h"

namespace {

// Only plain locals live between setjmp and a longjmp out of libpng.
int WritePngRows(FILE* file, png_bytepp rows, int width, int height) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) return 0;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return 0;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 1;
}

}  // namespace

int WriteRgbPng(const char* path, const uint32_t* pixels, int width, int height, int pitch) {
    if (pixels == nullptr || width <= 0 || height <= 0 || pitch < width) return 0;
    std::vector<png_byte> bytes(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        png_bytep row = &bytes[static_cast<size_t>(y) * static_cast<size_t>(width) * 3];
        rows[static_cast<size_t>(y)] = row;
        const uint32_t* in = pixels + static_cast<size_t>(y) * static_cast<size_t>(pitch);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<png_byte>(in[x] >> 16);
            row[3 * x + 1] = static_cast<png_byte>(in[x] >> 8);
            row[3 * x + 2] = static_cast<png_byte>(in[x]);
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return 0;
    const int written = WritePngRows(file, rows.data(), width, height);
    return std::fclose(file) == 0 && written;
}
