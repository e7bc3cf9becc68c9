// The size in device pixels of a surface shown at a fractional scale, as
// wp_fractional_scale_v1 defines it.
#include <climits>

#include "wayland/wayland.h"

int ScaledSize(int logical, int scale120) {
    const int64_t product = int64_t{logical} * scale120;
    // Half away from zero, on either side of it.
    const int64_t rounded = product >= 0 ? (product + 60) / 120 : -((-product + 60) / 120);
    if (rounded > INT_MAX) return INT_MAX;
    if (rounded < INT_MIN) return INT_MIN;
    return static_cast<int>(rounded);
}
