// The clock the Linux hosts time ticks by.
#pragma once

#include <cstdint>


// Milliseconds of a clock that never jumps (not the calendar).
int64_t MonotonicMilliseconds();
