// The mouse-move dismissal arithmetic shared by both hosts.
#include "app/run_rules.h"

namespace {

uint32_t Distance(int32_t from, int32_t to) {
    // Differences of two screen coordinates fit in 64 bits whatever they are.
    int64_t d = static_cast<int64_t>(to) - static_cast<int64_t>(from);
    return static_cast<uint32_t>(d < 0 ? -d : d);
}

}  // namespace

int MouseMoveExceedsThreshold(ScreenPoint anchor, ScreenPoint cursor, uint32_t threshold) {
    uint64_t moved =
        static_cast<uint64_t>(Distance(anchor.x, cursor.x)) + static_cast<uint64_t>(Distance(anchor.y, cursor.y));
    return moved > threshold ? 1 : 0;
}
