// One row of the transparent blit (source pixels of 0 leave the destination
// unchanged), inline so that the blit and the span sprites' rows loop
// without a call per row.
#pragma once

#include <cstdint>
#include <cstring>

// Sixteen pixels at a time (SSE2 on x86, NEON on ARM); GCC and clang both
// take this vector type.
typedef uint8_t Pixels16 __attribute__((vector_size(16)));

inline Pixels16 BlendBlock(Pixels16 source, Pixels16 destination) {
    Pixels16 keep = (Pixels16)(source == 0);  // 0xFF where transparent
    return (destination & keep) | source;
}

// Blends a word of pixels: bytes of the source that are 0 keep the
// destination's byte. The high bit of ((s & 0x7F..) + 0x7F..) | s is set
// exactly for the nonzero bytes, with no carry between bytes.
template <typename Word>
inline Word BlendWord(Word source, Word destination) {
    constexpr Word low7 = static_cast<Word>(0x7F7F7F7F7F7F7F7FULL);
    constexpr Word high = static_cast<Word>(0x8080808080808080ULL);
    Word opaque = (((source & low7) + low7) | source) & high;
    Word opaqueMask = (opaque >> 7) * 0xFF;
    return (destination & ~opaqueMask) | source;
}

// Rows of 4 to 15 pixels (the walkers' sprites are 6 to 9 wide): two words,
// one at each end of the row, both read before either is stored.
template <typename Word>
inline void BlitTwoWords(const uint8_t* source, uint8_t* destination, int width) {
    Word s0, s1, d0, d1;
    memcpy(&s0, source, sizeof(Word));
    memcpy(&s1, source + width - sizeof(Word), sizeof(Word));
    memcpy(&d0, destination, sizeof(Word));
    memcpy(&d1, destination + width - sizeof(Word), sizeof(Word));
    d0 = BlendWord(s0, d0);
    d1 = BlendWord(s1, d1);
    memcpy(destination, &d0, sizeof(Word));
    memcpy(destination + width - sizeof(Word), &d1, sizeof(Word));
}

inline void BlitNarrowRowTransparent(const uint8_t* source, uint8_t* destination, int width) {
    if (width >= 8) return BlitTwoWords<uint64_t>(source, destination, width);
    if (width >= 4) return BlitTwoWords<uint32_t>(source, destination, width);
    for (int i = 0; i < width; ++i)
        if (source[i]) destination[i] = source[i];
}

// One row of the transparent blit. Branch-free: each destination byte is
// masked by "source is 0" and or-ed with the source, since a per-pixel branch
// mispredicts all along a sprite's outline. Rows of 16 and more end with a
// block aligned to the row's end, read before any store so that no load waits
// on an overlapping store; blending a byte twice gives the same value.
inline void BlitRowTransparent(const uint8_t* __restrict source, uint8_t* __restrict destination, int width) {
    if (width < 16) {
        BlitNarrowRowTransparent(source, destination, width);
        return;
    }
    Pixels16 lastSource, lastDestination;
    memcpy(&lastSource, source + width - 16, 16);
    memcpy(&lastDestination, destination + width - 16, 16);
    for (int i = 0; i + 16 <= width; i += 16) {
        Pixels16 s, d;
        memcpy(&s, source + i, 16);
        memcpy(&d, destination + i, 16);
        d = BlendBlock(s, d);
        memcpy(destination + i, &d, 16);
    }
    lastDestination = BlendBlock(lastSource, lastDestination);
    memcpy(destination + width - 16, &lastDestination, 16);
}
