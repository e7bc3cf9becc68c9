// The scene's one pseudo-random source: a 32-bit linear congruential generator.
#include "scene/steps.h"

int SceneRandom(Scene& scene) {
    scene.randomState = scene.randomState * 214013u + 2531011u;  // wraps modulo 2^32
    return static_cast<int>((scene.randomState >> 16) & 0x7FFF);
}
