// BMP files with a 256-entry colour table, uncompressed or BI_RLE8, and the
// run-length encoder that writes every row out to its full width.
#include "picturegen.h"

namespace {

int RunLength(const uint8_t* row, int start, int width) {
    int n = 1;
    while (start + n < width && n < 255 && row[start + n] == row[start]) ++n;
    return n;
}

// Pixels from `start` that are better written as they stand: up to the next
// run of three or more equal pixels.
int LiteralLength(const uint8_t* row, int start, int width) {
    int n = 0;
    while (start + n < width && n < 255 && RunLength(row, start + n, width) < 3) ++n;
    return n;
}

void EncodeRow(const uint8_t* row, int width, std::vector<uint8_t>& out) {
    int x = 0;
    while (x < width) {
        const int run = RunLength(row, x, width);
        const int literal = run >= 3 ? 0 : LiteralLength(row, x, width);
        if (literal >= 3) {
            // Absolute mode; an odd count is padded so codes stay on even offsets.
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(literal));
            out.insert(out.end(), row + x, row + x + literal);
            if (literal & 1) out.push_back(0);
            x += literal;
        } else {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += run;
        }
    }
}

}  // namespace

std::vector<uint8_t> EncodeRle8(const Canvas& canvas, int endLineAfterLastRow) {
    std::vector<uint8_t> out;
    for (int stored = 0; stored < canvas.height; ++stored) {
        const int y = canvas.height - 1 - stored;  // bottom row first
        EncodeRow(&canvas.pixels[static_cast<size_t>(y) * canvas.width], canvas.width, out);
        if (stored + 1 < canvas.height || endLineAfterLastRow) {
            out.push_back(0);
            out.push_back(0);
        }
    }
    out.push_back(0);
    out.push_back(1);
    return out;
}

std::vector<uint8_t> EncodeBmp(const Canvas& canvas, const std::array<Rgb, 256>& palette, const BmpOptions& options) {
    const int stride = (canvas.width + 3) & ~3;
    std::vector<uint8_t> data;
    if (options.encoding == BmpEncoding::kRle8) {
        data = EncodeRle8(canvas, options.endLineAfterLastRow);
    } else {
        data.assign(static_cast<size_t>(stride) * canvas.height, 0);
        for (int stored = 0; stored < canvas.height; ++stored) {
            const int y = canvas.height - 1 - stored;
            std::copy_n(&canvas.pixels[static_cast<size_t>(y) * canvas.width], canvas.width,
                        &data[static_cast<size_t>(stored) * stride]);
        }
    }
    const uint32_t offBits = 14 + 40 + 256 * 4;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, offBits + static_cast<uint32_t>(data.size()));
    PutU32(out, 0);
    PutU32(out, offBits);
    PutU32(out, 40);
    PutU32(out, static_cast<uint32_t>(canvas.width));
    PutU32(out, static_cast<uint32_t>(canvas.height));
    PutU16(out, 1);
    PutU16(out, 8);
    PutU32(out, options.encoding == BmpEncoding::kRle8 ? 1 : 0);
    PutU32(out, static_cast<uint32_t>(data.size()));
    PutU32(out, 2835);  // 72 dpi
    PutU32(out, 2835);
    PutU32(out, options.clrUsed);
    PutU32(out, options.clrUsed);
    for (const Rgb& c : palette) {
        out.push_back(c.b);
        out.push_back(c.g);
        out.push_back(c.r);
        out.push_back(0);
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}
