// Command-line options of zarvo: modes, geometry, the six settings and the
// test options. Every value is checked before it is used.
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "x11/zarvo.h"

const SettingOption kSettingOptions[kSettingCount] = {
    {"circle-speed", CircleSpeed, "speed of the crowd circling the building"},
    {"circle-walkers", CircleWalkers, "number of circling walkers"},
    {"walkway-speed", IsleSpeed, "speed of the walkway walkers"},
    {"walkway-walkers", IsleWalkers, "number of walkway walkers"},
    {"redraw-speed", RedrawSpeed, "frame rate: one frame every max(10, 601 - 5 x N) ms"},
    {"seat-shuffle", SeatShuffle, "how much of the seated crowd stirs"},
};

namespace {

// A decimal integer with an optional '-' filling the whole text; 1 when
// valid. strtol alone would also take leading blanks and a '+'. A number
// beyond a long gives the nearest long, so that it is clamped like any
// other number outside a range.
int ParseLong(const char* text, long* value) {
    if (!text) return 0;
    const char* digits = text[0] == '-' ? text + 1 : text;
    if (!isdigit(static_cast<unsigned char>(*digits))) return 0;
    char* end = nullptr;
    errno = 0;
    long parsed = strtol(text, &end, 10);
    if (*end != '\0') return 0;
    *value = parsed;  // LONG_MIN or LONG_MAX on ERANGE
    return 1;
}

int32_t ClampToRange(long value, const Setting& range) {
    if (value < range.min) return range.min;
    if (value > range.max) return range.max;
    return static_cast<int32_t>(value);
}

// "WxH" with an optional "+X+Y"; each side from 1 to kMaxWindowSide.
int ParseGeometry(const char* text, ZarvoOptions* options) {
    int x = 0, y = 0;
    unsigned int width = 0, height = 0;
    int flags = XParseGeometry(text, &x, &y, &width, &height);
    if ((flags & (WidthValue | HeightValue)) != (WidthValue | HeightValue)) return 0;
    if (width < 1 || height < 1 || width > kMaxWindowSide || height > kMaxWindowSide) return 0;
    options->width = static_cast<int>(width);
    options->height = static_cast<int>(height);
    options->positionGiven = (flags & (XValue | YValue)) == (XValue | YValue);
    options->x = x;
    options->y = y;
    return 1;
}

const SettingOption* FindSettingOption(const char* name) {
    for (const SettingOption& option : kSettingOptions) {
        if (strcmp(option.name, name) == 0) return &option;
    }
    return nullptr;
}

// --window-id wins over --root in either order, as in other XScreenSaver
// hacks: its settings tool previews a hack by appending --window-id to the
// configured command, and zarvo's command holds --root. --fullscreen with
// either stays refused: it asks for a window of zarvo's own that takes the
// keyboard and the mouse, the others for one someone else owns and handles,
// and quietly dropping one would hide a mistaken command.
int SetMode(ZarvoOptions* options, int mode, char* error, size_t errorSize) {
    int fullscreenClash = options->modeGiven && options->mode != mode &&
                          (options->mode == kModeFullScreen || mode == kModeFullScreen);
    if (fullscreenClash) {
        snprintf(error, errorSize, "--fullscreen excludes --root and --window-id");
        return 0;
    }
    if (options->mode != kModePreview) options->mode = mode;
    options->modeGiven = 1;
    return 1;
}

// Options that take no value. 1 when handled, 0 when `name` is not one, -1 on error.
int ParseFlag(const char* name, ZarvoOptions* options, char* error, size_t errorSize) {
    if (strcmp(name, "help") == 0 || strcmp(name, "h") == 0) {
        options->help = 1;
    } else if (strcmp(name, "fullscreen") == 0) {
        return SetMode(options, kModeFullScreen, error, errorSize) ? 1 : -1;
    } else if (strcmp(name, "root") == 0) {
        return SetMode(options, kModeRoot, error, errorSize) ? 1 : -1;
    } else if (strcmp(name, "save") == 0) {
        options->save = 1;
    } else if (strcmp(name, "show-settings") == 0) {
        options->showSettings = 1;
    } else if (strcmp(name, "reset-settings") == 0) {
        options->resetSettings = 1;
    } else if (strcmp(name, "no-shm") == 0) {
        options->noShm = 1;
    } else {
        return 0;
    }
    return 1;
}

int ParseSettingValue(const SettingOption* setting, const char* value, ZarvoOptions* options,
                      char* error, size_t errorSize) {
    long number = 0;
    if (!ParseLong(value, &number)) {
        snprintf(error, errorSize, "--%s needs a whole number, got \"%s\"", setting->name, value);
        return 0;
    }
    const int index = setting->index;
    options->settingGiven[index] = 1;
    options->settingText[index] = value;
    options->settingValue[index] = ClampToRange(number, kDefaultSettings.entries[index]);
    options->settingClamped[index] = options->settingValue[index] != number;
    return 1;
}

int ParseGeometryValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    if (ParseGeometry(value, options)) return 1;
    snprintf(error, errorSize, "--geometry needs WIDTHxHEIGHT, each from 1 to %d, got \"%s\"",
             kMaxWindowSide, value);
    return 0;
}

int ParseWindowIdValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    if (ParseWindowId(value, &options->windowId)) {
        return SetMode(options, kModePreview, error, errorSize);
    }
    snprintf(error, errorSize, "--window-id needs a window id (decimal or 0x hex), got \"%s\"",
             value);
    return 0;
}

int ParseDisplayValue(const char* value, ZarvoOptions* options, char*, size_t) {
    options->displayName = value;
    return 1;
}

int ParseSeedValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    long long number = 0;
    char* end = nullptr;
    errno = 0;
    if (*value >= '0' && *value <= '9') number = strtoll(value, &end, 10);
    if (!end || *end != '\0' || errno == ERANGE || number > 0xFFFFFFFFLL) {
        snprintf(error, errorSize, "--seed needs a number from 0 to 4294967295, got \"%s\"", value);
        return 0;
    }
    options->seedGiven = 1;
    options->seed = static_cast<uint32_t>(number);
    return 1;
}

int ParseFramesValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    long number = 0;
    if (!ParseLong(value, &number) || number < 0) {
        snprintf(error, errorSize, "--frames needs a number of at least 0, got \"%s\"", value);
        return 0;
    }
    options->frameLimit = number;
    return 1;
}

int ParsePictureSizeValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    if (ParsePictureSize(value, strlen(value), &options->pictureSize)) return options->pictureSizeGiven = 1;
    snprintf(error, errorSize, "--picture-size needs centred, whole-multiples or fill, got \"%s\"", value);
    return 0;
}

int ParseMonitorsValue(const char* value, ZarvoOptions* options, char* error, size_t errorSize) {
    if (ParseMonitorChoice(value, strlen(value), &options->monitors)) return options->monitorsGiven = 1;
    snprintf(error, errorSize, "--monitors needs all or primary, got \"%s\"", value);
    return 0;
}

using ValueParser = int (*)(const char* value, ZarvoOptions* options, char* error,
                            size_t errorSize);

struct ValuedOption {
    const char* name;
    ValueParser parse;
};

const ValuedOption kValuedOptions[] = {
    {"geometry", ParseGeometryValue}, {"window-id", ParseWindowIdValue},
    {"display", ParseDisplayValue},   {"seed", ParseSeedValue},
    {"frames", ParseFramesValue},     {"picture-size", ParsePictureSizeValue},
    {"monitors", ParseMonitorsValue},
};

const ValuedOption* FindValuedOption(const char* name) {
    for (const ValuedOption& option : kValuedOptions) {
        if (strcmp(option.name, name) == 0) return &option;
    }
    return nullptr;
}

int TakesValue(const char* name) {
    return FindValuedOption(name) != nullptr || FindSettingOption(name) != nullptr;
}

// An option known to take a value. 1 when valid, 0 with a message.
int ParseValued(const char* name, const char* value, ZarvoOptions* options, char* error,
                size_t errorSize) {
    if (const SettingOption* setting = FindSettingOption(name)) {
        return ParseSettingValue(setting, value, options, error, errorSize);
    }
    return FindValuedOption(name)->parse(value, options, error, errorSize);
}

void SetDefaults(ZarvoOptions* options) {
    memset(options, 0, sizeof *options);
    options->mode = kModeWindow;
    options->width = kDefaultWindowWidth;
    options->height = kDefaultWindowHeight;
    options->frameLimit = -1;
}

}  // namespace

int ParseWindowId(const char* text, unsigned long* id) {
    if (!text || !*text) return 0;
    int hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    // strtoull would also take spaces and signs.
    if (!(hex ? isxdigit(static_cast<unsigned char>(*digits))
              : isdigit(static_cast<unsigned char>(*digits)))) {
        return 0;
    }
    char* end = nullptr;
    errno = 0;
    unsigned long long value = strtoull(digits, &end, hex ? 16 : 10);
    // X resource ids use the low 29 bits; 0 is None.
    if (errno == ERANGE || *end != '\0' || value == 0 || value > 0x1FFFFFFFULL) return 0;
    *id = static_cast<unsigned long>(value);
    return 1;
}

int ParseOptions(int argc, char** argv, ZarvoOptions* options, char* error, size_t errorSize) {
    SetDefaults(options);
    error[0] = '\0';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || arg[1] == '\0') {
            snprintf(error, errorSize, "unexpected argument \"%s\"", arg);
            return 0;
        }
        const char* body = arg[1] == '-' ? arg + 2 : arg + 1;
        char name[32];
        const char* equals = strchr(body, '=');
        size_t nameLength = equals ? static_cast<size_t>(equals - body) : strlen(body);
        if (nameLength == 0 || nameLength >= sizeof name) {
            snprintf(error, errorSize, "unknown option \"%s\"", arg);
            return 0;
        }
        memcpy(name, body, nameLength);
        name[nameLength] = '\0';
        if (!equals) {
            int flag = ParseFlag(name, options, error, errorSize);
            if (flag < 0) return 0;
            if (flag > 0) continue;
        }
        if (!TakesValue(name)) {
            snprintf(error, errorSize, "unknown option \"%s\"", arg);
            return 0;
        }
        const char* value = equals ? equals + 1 : (i + 1 < argc ? argv[++i] : nullptr);
        if (!value) {
            snprintf(error, errorSize, "option \"%s\" needs a value", arg);
            return 0;
        }
        if (!ParseValued(name, value, options, error, errorSize)) return 0;
    }
    return 1;
}

int ApplyScreenSaverWindow(ZarvoOptions* options, const char* envWindow, char* error,
                           size_t errorSize) {
    // XScreenSaver names its window in the environment; it stands for the
    // root window (a virtual root) and for a plain start without a mode.
    if (!envWindow || !*envWindow) return 1;
    if (options->mode == kModeFullScreen || options->mode == kModePreview) return 1;
    if (!ParseWindowId(envWindow, &options->windowId)) {
        snprintf(error, errorSize, "XSCREENSAVER_WINDOW is not a window id: \"%s\"", envWindow);
        return 0;
    }
    options->mode = kModePreview;
    return 1;
}

void ApplySettingOptions(const ZarvoOptions* options, SettingsRecord* record) {
    for (int i = 0; i < kSettingCount; ++i) {
        if (options->settingGiven[i]) record->entries[i].value = options->settingValue[i];
    }
}

void ApplyDisplayOptions(const ZarvoOptions* options, DisplaySettings* display) {
    if (options->pictureSizeGiven) display->pictureSize = options->pictureSize;
    if (options->monitorsGiven) display->monitors = options->monitors;
}
