// The command-line tail: the program path in front of it, the switch letter,
// and the decimal window handle that previews and password changes carry.
#include "windows/windows_host.h"

namespace {

int IsBlank(unsigned char byte) { return byte >= 1 && byte <= 32; }

}  // namespace

const char* CommandLineTail(const char* commandLine) {
    if (commandLine == nullptr) return nullptr;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
    if (*p == '"') {
        // A quoted path may hold blanks; an unclosed quote takes the rest.
        ++p;
        while (*p != 0 && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p != 0 && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return reinterpret_cast<const char*>(p);
}

CommandLineRequest ParseSaverCommandLine(const char* tail) {
    static const char kEmpty[] = "";
    if (tail == nullptr) return {kModeConfigureNoOwner, kEmpty};
    const char* p = tail;
    while (*p == ' ' || *p == '-' || *p == '/') ++p;
    switch (*p) {
    case 0:
        return {kModeConfigureNoOwner, p};
    case 'S':
    case 's':
        return {kModeFullScreen, p + 1};
    case 'C':
    case 'c':
        return {kModeConfigure, p + 1};
    case 'P':
    case 'p':
    case 'L':
    case 'l':
    case 'A':
    case 'a': {
        RunMode mode = (*p == 'A' || *p == 'a') ? kModeChangePassword : kModePreview;
        ++p;
        while (*p == ' ') ++p;  // spaces only: a tab is part of the handle text
        return {mode, p};
    }
    default:
        return {kModeInvalid, p};
    }
}

uint32_t ParseWindowHandle(const char* text) {
    uint32_t handle = 0;
    if (text == nullptr) return 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        handle = handle * 10u + static_cast<uint32_t>(*p - '0');  // wraps by design
    }
    return handle;
}
