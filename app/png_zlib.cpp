// zlib's compression for PNG files, where the build machine has zlib.
#include <zlib.h>

#include "app/png_file.h"

std::vector<uint8_t> BestZlib(const std::vector<uint8_t>& rows) {
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), 9) != Z_OK) return {};
    packed.resize(packedSize);
    return packed;
}
