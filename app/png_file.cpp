// The PNG chunk format with its CRC, stored zlib blocks and the file write.
#include "app/png_file.h"

#include <cstdio>

namespace {

uint32_t Crc32(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutBigEndian32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& body) {
    PutBigEndian32(out, static_cast<uint32_t>(body.size()));
    const size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), body.begin(), body.end());
    PutBigEndian32(out, Crc32(&out[typeStart], out.size() - typeStart));
}

// Each row behind its filter byte (0: none).
std::vector<uint8_t> FilteredRows(const PngPicture& picture) {
    const size_t rowBytes = static_cast<size_t>(picture.width) * (picture.colorType == kPngRgb ? 3 : 1);
    std::vector<uint8_t> rows;
    rows.reserve((rowBytes + 1) * static_cast<size_t>(picture.height));
    for (size_t start = 0; start < rowBytes * static_cast<size_t>(picture.height); start += rowBytes) {
        rows.push_back(0);
        rows.insert(rows.end(), picture.samples.begin() + static_cast<long>(start),
                    picture.samples.begin() + static_cast<long>(start + rowBytes));
    }
    return rows;
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngPicture& picture, PngDeflater deflate) {
    std::vector<uint8_t> packed = deflate(FilteredRows(picture));
    if (packed.empty()) return {};
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> header;
    PutBigEndian32(header, static_cast<uint32_t>(picture.width));
    PutBigEndian32(header, static_cast<uint32_t>(picture.height));
    header.insert(header.end(), {8, static_cast<uint8_t>(picture.colorType), 0, 0, 0});  // no interlace
    PutChunk(out, "IHDR", header);
    if (picture.colorType == kPngIndexed) PutChunk(out, "PLTE", picture.palette);
    PutChunk(out, "IDAT", packed);
    PutChunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> out = {0x78, 0x01};
    size_t done = 0;
    do {  // blocks of at most 65535 bytes; an empty input still needs one
        const size_t length = rows.size() - done < 65535 ? rows.size() - done : 65535;
        out.push_back(done + length == rows.size() ? 1 : 0);
        out.insert(out.end(), {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                               static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)});
        out.insert(out.end(), rows.begin() + static_cast<long>(done), rows.begin() + static_cast<long>(done + length));
        done += length;
    } while (done < rows.size());
    uint32_t a = 1, b = 0;
    for (uint8_t byte : rows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian32(out, b << 16 | a);
    return out;
}

int WriteFileBytes(const char* path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
