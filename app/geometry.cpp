// zarvo's --geometry: sides and an optional place, digits only, each in range.
#include "app/geometry.h"

#include "app/option_grammar.h"

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The digits at `*text` as a number of at most `most`, moving past them;
// 0 when there are none or the number is larger (read no further, so that
// no number wraps).
int ReadNumber(const char** text, int most, int* value) {
    const char* p = *text;
    if (!IsDigit(*p)) return 0;
    long number = 0;
    for (; IsDigit(*p); ++p) {
        number = number * 10 + (*p - '0');
        if (number > most) return 0;
    }
    *text = p;
    *value = static_cast<int>(number);
    return 1;
}

// Moves past `c` when `*text` starts with it.
int Take(const char** text, char c) {
    if (**text != c) return 0;
    ++*text;
    return 1;
}

}  // namespace

int ParseWindowGeometry(const char* text, WindowGeometry* geometry) {
    if (text == nullptr) return 0;
    WindowGeometry read = {0, 0, 0, 0, 0};
    const char* p = text;
    if (!ReadNumber(&p, kMaxPictureSide, &read.width) || !Take(&p, 'x') ||
        !ReadNumber(&p, kMaxPictureSide, &read.height)) {
        return 0;
    }
    if (Take(&p, '+')) {
        if (!ReadNumber(&p, kMaxWindowOffset, &read.x) || !Take(&p, '+') ||
            !ReadNumber(&p, kMaxWindowOffset, &read.y)) {
            return 0;
        }
        read.positionGiven = 1;
    }
    if (*p != '\0' || read.width < 1 || read.height < 1) return 0;
    *geometry = read;
    return 1;
}
