// The quiet time after a password verification, in which close requests are
// ignored (the mouse threshold is shared with X11: app/run_rules.cpp).
#include "windows/windows_host.h"

int WithinPasswordQuietTime(uint32_t now, uint32_t lastCheck) {
    if (lastCheck == kNoPasswordCheckYet) return 0;
    return static_cast<uint32_t>(now - lastCheck) < kPasswordQuietMilliseconds ? 1 : 0;
}
