// The scene's one pseudo-random source: a 32-bit linear congruential generator.
#include "scene/state.h"

namespace {

uint32_t randomState = 0;

}  // namespace

void SeedSceneRandom(uint32_t seed) { randomState = seed; }

int SceneRandom() {
    randomState = randomState * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<int>((randomState >> 16) & 0x7FFF);
}
