// Palette PNG previews, compressed with zlib at a fixed level so that the same
// picture always gives the same bytes.
#include <zlib.h>

#include "picturegen.h"

namespace {

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back((value >> shift) & 0xFF);
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    PutBigEndian32(out, static_cast<uint32_t>(body.size()));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    const uLong crc = crc32(0L, &out[typeStart], static_cast<uInt>(out.size() - typeStart));
    PutBigEndian32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& canvas, const std::array<Rgb, 256>& palette) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(canvas.width));
    PutBigEndian32(header, static_cast<uint32_t>(canvas.height));
    header.insert(header.end(), {8, 3, 0, 0, 0});  // 8-bit indexed, no interlace
    PutChunk(out, "IHDR", header);
    std::vector<uint8_t> colors;
    for (const Rgb& c : palette) colors.insert(colors.end(), {c.r, c.g, c.b});
    PutChunk(out, "PLTE", colors);
    std::vector<uint8_t> raw;
    for (int y = 0; y < canvas.height; ++y) {
        raw.push_back(0);  // filter: none
        const uint8_t* row = &canvas.pixels[static_cast<size_t>(y) * canvas.width];
        raw.insert(raw.end(), row, row + canvas.width);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        return {};
    packed.resize(packedSize);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}
