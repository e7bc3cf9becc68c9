// The BI_RLE8 decoder. Every read is checked against the stream's end and
// every write against the row and the buffer; a code that would break either
// ends decoding.
#include "image/image.h"

#include <cstring>

namespace {

struct Rle8Cursor {
    const uint8_t* source;
    size_t size;
    size_t at;    // next byte of the stream
    int64_t row;  // 0 = first stored row, the bottom of the picture
    int64_t column;
};

struct Rle8Target {
    uint8_t* pixels;
    int64_t width;
    int64_t height;
    int64_t stride;
};

// Where `count` pixels starting at the cursor go, or null when they would
// leave the row or the buffer.
uint8_t* RunDestination(const Rle8Cursor& cursor, const Rle8Target& target, int64_t count) {
    if (cursor.row < 0 || cursor.row >= target.height) return nullptr;
    if (cursor.column < 0 || cursor.column + count > target.width) return nullptr;
    return target.pixels + cursor.row * target.stride + cursor.column;
}

// Absolute run of `count` literal bytes, word-aligned by a pad byte when odd.
int CopyAbsoluteRun(Rle8Cursor& cursor, const Rle8Target& target, int count) {
    if (cursor.size - cursor.at < static_cast<size_t>(count)) return 0;
    uint8_t* out = RunDestination(cursor, target, count);
    if (!out) return 0;
    memcpy(out, cursor.source + cursor.at, count);
    cursor.at += count;
    cursor.column += count;
    if ((count & 1) && cursor.at < cursor.size) ++cursor.at;
    return 1;
}

// Second byte of an escape (first byte 0). 0 ends decoding.
int RunEscape(Rle8Cursor& cursor, const Rle8Target& target, uint8_t escape) {
    switch (escape) {
    case 0:  // end of line
        cursor.column = 0;
        ++cursor.row;
        return cursor.row <= target.height;
    case 1:  // end of bitmap
        return 0;
    case 2:  // delta: unsigned dx, dy
        if (cursor.size - cursor.at < 2) return 0;
        cursor.column += cursor.source[cursor.at];
        cursor.row += cursor.source[cursor.at + 1];
        cursor.at += 2;
        return cursor.row <= target.height;
    default:
        return CopyAbsoluteRun(cursor, target, escape);
    }
}

}  // namespace

void DecodeRle8(const uint8_t* source, size_t sourceSize, uint8_t* pixels, const ImageHeader* header) {
    if (!source || !pixels || !header) return;
    const BitmapInfoHeader& info = header->info;
    if (!ImageSizeIsSane(info.biWidth, info.biHeight)) return;
    Rle8Target target{pixels, info.biWidth, info.biHeight, StrideForWidth(info.biWidth)};
    Rle8Cursor cursor{source, sourceSize, 0, 0, 0};

    while (sourceSize - cursor.at >= 2) {
        uint8_t first = source[cursor.at];
        uint8_t second = source[cursor.at + 1];
        cursor.at += 2;
        if (first == 0) {
            if (!RunEscape(cursor, target, second)) return;
            continue;
        }
        uint8_t* out = RunDestination(cursor, target, first);
        if (!out) return;
        memset(out, second, first);
        cursor.column += first;
    }
}
