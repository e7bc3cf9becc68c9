#!/usr/bin/env python3
# Writes the two small BMP files the image tests load as resources 901 and 902
# (embedded on Linux, bound by test_bitmaps.rc on Windows). Run from this folder.
import struct


def color_table():
    # Entry i: blue i, green 255 - i, red 3 x i (low byte).
    return b"".join(bytes([i, 255 - i, (3 * i) & 255, 0]) for i in range(256))


def bmp(width, height, compression, pixels):
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, compression,
                       len(pixels), 0, 0, 256, 256)
    offset = 14 + len(info) + 1024
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + color_table() + pixels


def uncompressed_5x3():
    # Pixel (x, y), y from the top, holds 10 y + x + 1; rows stored bottom-up,
    # padded to a stride of 8 with 0xEE so that padding is visible.
    rows = []
    for y in reversed(range(3)):
        rows.append(bytes(10 * y + x + 1 for x in range(5)) + b"\xee" * 3)
    return bmp(5, 3, 0, b"".join(rows))


def rle8_6x4():
    stream = bytes([
        6, 7, 0, 0,                          # bottom row: six 7s, end of line
        0, 3, 1, 2, 3, 0, 3, 9, 0, 0,        # odd absolute run with pad, run of 9s
        0, 0,                                # end of line at column 0
        0, 4, 10, 11, 12, 13, 2, 5, 0, 1,    # even absolute run, run of 5s, end
    ])
    return bmp(6, 4, 1, stream)


with open("uncompressed_5x3.bmp", "wb") as f:
    f.write(uncompressed_5x3())
with open("rle8_6x4.bmp", "wb") as f:
    f.write(rle8_6x4())
