// Copies of a few bytes to a few hundred, inline: sprite runs, patches and
// restored tiles are too short for a call to memcpy per row to pay.
#pragma once

#include <cstdint>
#include <cstring>

// One word at each end of the span (they may overlap; both are read first).
template <typename Word>
inline void CopyEnds(uint8_t* out, const uint8_t* in, int length) {
    Word first, last;
    std::memcpy(&first, in, sizeof(Word));
    std::memcpy(&last, in + length - sizeof(Word), sizeof(Word));
    std::memcpy(out, &first, sizeof(Word));
    std::memcpy(out + length - sizeof(Word), &last, sizeof(Word));
}

// `length` bytes (0 or more) between buffers that do not overlap: blocks of
// 16, the last one aligned to the end; up to 16 bytes as two words.
inline void CopyShort(uint8_t* out, const uint8_t* in, int length) {
    if (length > 16) {
        uint8_t last[16];
        std::memcpy(last, in + length - 16, 16);
        for (int k = 0; k + 16 <= length; k += 16) std::memcpy(out + k, in + k, 16);
        std::memcpy(out + length - 16, last, 16);
        return;
    }
    if (length >= 8) return CopyEnds<uint64_t>(out, in, length);
    if (length >= 4) return CopyEnds<uint32_t>(out, in, length);
    if (length >= 2) return CopyEnds<uint16_t>(out, in, length);
    if (length == 1) *out = *in;
}
