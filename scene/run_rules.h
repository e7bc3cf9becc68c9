// Rules both hosts (Windows and X11) apply the same way around the scene: the
// mouse move that ends a full-screen run.
#pragma once

#include <cstdint>

struct ScreenPoint {
    int32_t x;
    int32_t y;
};

constexpr uint32_t kMouseMoveThreshold = 4;

// 1 when |dx| + |dy| between the anchor and the cursor exceeds the threshold.
int MouseMoveExceedsThreshold(ScreenPoint anchor, ScreenPoint cursor, uint32_t threshold);
