// PNG writing with stored (uncompressed) deflate blocks: small and portable.
#include "tests/scene/png_dump.h"

#include <cstdio>
#include <vector>

namespace {

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian(std::vector<uint8_t>* out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out->push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>* out, const char* type, const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out->insert(out->end(), body.begin(), body.end());
    PutBigEndian(out, Crc32(body.data(), body.size()));
}

// A zlib stream of stored blocks of at most 65535 bytes each.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t done = 0;
    do {
        const size_t length = raw.size() - done < 65535 ? raw.size() - done : 65535;
        out.push_back(done + length == raw.size() ? 1 : 0);
        out.push_back(static_cast<uint8_t>(length));
        out.push_back(static_cast<uint8_t>(length >> 8));
        out.push_back(static_cast<uint8_t>(~length));
        out.push_back(static_cast<uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<long>(done), raw.begin() + static_cast<long>(done + length));
        done += length;
    } while (done < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(&out, b << 16 | a);
    return out;
}

}  // namespace

int DumpImagePng(const char* path, const Image* image, const Palette* palette) {
    if (image == nullptr || palette == nullptr) return 0;
    const int width = ImageWidth(image);
    const int height = ImageHeight(image);
    std::vector<uint8_t> raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // no filter
        for (int x = 0; x < width; ++x) {
            const PaletteEntry& e = palette->entries[*PixelAddress(image, x, y)];
            raw.insert(raw.end(), {e.peRed, e.peGreen, e.peBlue});
        }
    }
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian(&header, static_cast<uint32_t>(width));
    PutBigEndian(&header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    PutChunk(&file, "IHDR", header);
    PutChunk(&file, "IDAT", StoredZlib(raw));
    PutChunk(&file, "IEND", {});
    FILE* out = std::fopen(path, "wb");
    if (out == nullptr) return 0;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}
