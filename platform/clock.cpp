// The clock's seed, the same on every platform.
#include <ctime>

#include "platform/services.h"

uint32_t SeedFromClock() { return static_cast<uint32_t>(std::time(nullptr)) * 2u; }
