// The clock the hosts time frames by, and the period they time them at.
#pragma once

#include <cstdint>

#include "scene/scene.h"

// Milliseconds of a clock that never jumps (not the calendar).
int64_t MonotonicMilliseconds();
// The scene's frame period, but never below the 10 ms at which Windows timers
// fire, so that a redraw speed animates alike on every system.
int HostFramePeriod(const Scene& scene);
