// Command-line options of zarvo: modes, geometry, the six settings and the
// test options. Every value is checked before it is used.
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/geometry.h"
#include "app/options.h"
#include "platform/services.h"

namespace {

ZarvoOptions* Options(void* target) { return static_cast<ZarvoOptions*>(target); }

int ParseGeometry(const char* text, ZarvoOptions* options) {
    WindowGeometry geometry;
    if (!ParseWindowGeometry(text, &geometry)) return 0;
    options->width = geometry.width;
    options->height = geometry.height;
    options->positionGiven = geometry.positionGiven;
    options->x = geometry.x;
    options->y = geometry.y;
    return 1;
}

// --window-id wins over --root in either order, as in other XScreenSaver
// hacks: its settings tool previews a hack by appending --window-id to the
// configured command, and zarvo's command holds --root. --fullscreen with
// either stays refused: it asks for a window of zarvo's own that takes the
// keyboard and the mouse, the others for one someone else owns and handles,
// and quietly dropping one would hide a mistaken command.
int SetMode(ZarvoOptions* options, int mode, char* error, size_t errorSize) {
    int fullscreenClash =
        options->modeGiven && options->mode != mode && (options->mode == kModeFullScreen || mode == kModeFullScreen);
    if (fullscreenClash) {
        snprintf(error, errorSize, "--fullscreen excludes --root and --window-id");
        return 0;
    }
    if (options->mode != kModePreview) options->mode = mode;
    options->modeGiven = 1;
    return 1;
}

// --background is a mode of its own beside the others: it draws under the
// windows and ignores input, which none of them does.
int RefuseBackgroundClash(ZarvoOptions* options, char* error, size_t errorSize) {
    if (!options->background || !options->modeGiven) return 1;
    snprintf(error, errorSize, "--background excludes --fullscreen, --root and --window-id");
    return 0;
}

int HandleFullScreen(void* target, const char*, char* error, size_t errorSize) {
    return SetMode(Options(target), kModeFullScreen, error, errorSize) &&
           RefuseBackgroundClash(Options(target), error, errorSize);
}
int HandleRoot(void* target, const char*, char* error, size_t errorSize) {
    return SetMode(Options(target), kModeRoot, error, errorSize) &&
           RefuseBackgroundClash(Options(target), error, errorSize);
}
int HandleBackground(void* target, const char*, char* error, size_t errorSize) {
    Options(target)->background = 1;
    return RefuseBackgroundClash(Options(target), error, errorSize);
}
int HandleLayer(void* target, const char* value, char* error, size_t errorSize) {
    if (strcmp(value, "background") == 0 || strcmp(value, "bottom") == 0) {
        Options(target)->layer = strcmp(value, "bottom") == 0;
        return 1;
    }
    snprintf(error, errorSize, "--layer needs background or bottom, got \"%s\"", value);
    return 0;
}
int HandleWayland(void* target, const char*, char*, size_t) {
    Options(target)->protocol = kProtocolWayland;
    return 1;
}
int HandleX11(void* target, const char*, char*, size_t) {
    Options(target)->protocol = kProtocolX11;
    return 1;
}
int HandleHelp(void* target, const char*, char*, size_t) { return Options(target)->help = 1; }
int HandleVersion(void* target, const char*, char*, size_t) { return Options(target)->version = 1; }
int HandleSave(void* target, const char*, char*, size_t) { return Options(target)->save = 1; }
int HandleShow(void* target, const char*, char*, size_t) { return Options(target)->showSettings = 1; }
int HandleReset(void* target, const char*, char*, size_t) { return Options(target)->resetSettings = 1; }
int HandleStoredSettings(void* target, const char*, char*, size_t) { return Options(target)->storedSettings = 1; }
int HandleNoShm(void* target, const char*, char*, size_t) { return Options(target)->noShm = 1; }

int HandleGeometry(void* target, const char* value, char* error, size_t errorSize) {
    if (ParseGeometry(value, Options(target))) return 1;
    snprintf(error, errorSize,
             "--geometry needs WxH or WxH+X+Y, each side from 1 to %d, X and Y from 0 to %d, got \"%s\"",
             kMaxPictureSide, kMaxWindowOffset, value);
    return 0;
}

int HandleWindowId(void* target, const char* value, char* error, size_t errorSize) {
    if (ParseWindowId(value, &Options(target)->windowId)) {
        return SetMode(Options(target), kModePreview, error, errorSize) &&
               RefuseBackgroundClash(Options(target), error, errorSize);
    }
    snprintf(error, errorSize, "--window-id needs a window id (decimal or 0x hex), got \"%s\"", value);
    return 0;
}

int HandleDisplay(void* target, const char* value, char*, size_t) {
    Options(target)->displayName = value;
    return 1;
}

int HandleSeed(void* target, const char* value, char* error, size_t errorSize) {
    long long number = 0;
    if (!ParseNumberOption("seed", value, 0, UINT32_MAX, &number, error, errorSize)) return 0;
    Options(target)->seedGiven = 1;
    Options(target)->seed = static_cast<uint32_t>(number);
    return 1;
}

int ParseFrameCount(const char* option, const char* value, long* count, char* error, size_t errorSize) {
    long long number = 0;
    if (!ParseNumberOption(option, value, 0, kMaxFrames, &number, error, errorSize)) return 0;
    *count = static_cast<long>(number);
    return 1;
}
int HandleFrames(void* target, const char* value, char* error, size_t errorSize) {
    return ParseFrameCount("frames", value, &Options(target)->frameLimit, error, errorSize);
}
int HandleStillAfter(void* target, const char* value, char* error, size_t errorSize) {
    return ParseFrameCount("still-after", value, &Options(target)->stillAfter, error, errorSize);
}

// Clamped, as the settings are: a watcher that refused to start would leave
// the session without its screen saver.
int HandleIdle(void* target, const char* value, char* error, size_t errorSize) {
    long long seconds = 0;
    if (!ParseWholeNumber(value, &seconds)) {
        snprintf(error, errorSize, "--idle needs a whole number of seconds, got \"%s\"", value);
        return 0;
    }
    ZarvoOptions* options = Options(target);
    options->idleClamped = seconds < 1 || seconds > kMaxIdleSeconds;
    options->idleSeconds = static_cast<int>(seconds < 1 ? 1 : seconds > kMaxIdleSeconds ? kMaxIdleSeconds : seconds);
    options->idleText = value;
    return 1;
}

// An idle run covers the outputs as --fullscreen does, whichever order the
// options came in.
int ApplyIdleMode(ZarvoOptions* options, char* error, size_t errorSize) {
    if (options->idleSeconds == 0) return 1;
    if (options->background || (options->modeGiven && options->mode != kModeFullScreen)) {
        snprintf(error, errorSize, "--idle excludes --root, --window-id and --background");
        return 0;
    }
    options->mode = kModeFullScreen;
    return 1;
}

int HandlePictureSize(void* target, const char* value, char* error, size_t errorSize) {
    ZarvoOptions* options = Options(target);
    return options->pictureSizeGiven = ParsePictureSizeOption(value, &options->pictureSize, error, errorSize);
}

int HandleMonitors(void* target, const char* value, char* error, size_t errorSize) {
    ZarvoOptions* options = Options(target);
    if (ParseMonitorChoice(value, strlen(value), &options->monitors)) return options->monitorsGiven = 1;
    snprintf(error, errorSize, "--monitors needs all or primary, got \"%s\"", value);
    return 0;
}

void SetDefaults(ZarvoOptions* options) {
    memset(options, 0, sizeof *options);
    options->mode = kModeWindow;
    options->width = kDefaultWindowWidth;
    options->height = kDefaultWindowHeight;
    options->frameLimit = -1;
    options->stillAfter = -1;
}

}  // namespace

// Every option of zarvo, in the order --help lists them.
const CommandOption kZarvoOptions[] = {
    {nullptr, nullptr, nullptr, "Modes (a window of its own when none is given):"},
    {"geometry", "WxH[+X+Y]", HandleGeometry, "size of the window (default 1024x768), each side\n1 to 8192"},
    {"fullscreen", nullptr, HandleFullScreen,
     "cover every monitor; a key, a button or a mouse\nmove of more than 4 pixels ends it"},
    {"root", nullptr, HandleRoot,
     "draw on the root window: XScreenSaver's window when\nXSCREENSAVER_WINDOW is set, else a virtual root"},
    {"window-id", "ID", HandleWindowId,
     "draw into window ID (decimal or 0x hex); wins over\n--root and XSCREENSAVER_WINDOW"},
    {"background", nullptr, HandleBackground,
     "Wayland: under the windows on every output, not\nended by input (a live wallpaper, or a lock\nscreen's "
     "background); ends on SIGTERM"},
    {"layer", "NAME", HandleLayer,
     "with --background: the layer, background (the\ndefault) or bottom (for KDE Plasma)"},
    {"idle", "SECONDS", HandleIdle,
     "Wayland: wait until the session has been idle for\nSECONDS (1 to 86400), cover every output as\n--fullscreen "
     "does until the first input, and wait\nagain, until SIGTERM; one runs per session"},
    {"display", "NAME", HandleDisplay, "the X display to use (default $DISPLAY)"},
    {"wayland", nullptr, HandleWayland,
     "use Wayland (the default when WAYLAND_DISPLAY\nnames a compositor that answers)"},
    {"x11", nullptr, HandleX11, "use X11 even where Wayland answers"},
    {nullptr, nullptr, nullptr,
     "The window closes with q, Escape or its close button. With\n"
     "XSCREENSAVER_WINDOW set and no mode given, zarvo draws into that window.\n"
     "On Wayland --fullscreen covers every output on the overlay layer; --root\n"
     "and --window-id are X11's.\n"
     "\n"
     "Settings (values outside the range are clamped). A run of zarvo's own uses\n"
     "the stored settings under these; a run for XScreenSaver (XSCREENSAVER_WINDOW,\n"
     "--root or --window-id) uses the defaults under them, unless --stored-settings\n"
     "is given."},
    {nullptr, nullptr, nullptr, nullptr},
    {"picture-size", "NAME", HandlePictureSize,
     "how large the picture is shown (default centred;\n"
     "cover with --background; a window narrower than\n"
     "640 shows the 640x480 scene shrunk to fit):",
     PictureSizeHelp},
    {"monitors", "NAME", HandleMonitors,
     "with --fullscreen or --background: all (the\npicture on every monitor, the default) or\nprimary (the others "
     "black)"},
    {nullptr, nullptr, nullptr, "\nStored settings:"},
    {"save", nullptr, HandleSave,
     "store the settings given over the stored ones, say\nwhat was stored, and exit without drawing"},
    {"show-settings", nullptr, HandleShow, "print the stored settings, their ranges and files"},
    {"reset-settings", nullptr, HandleReset, "remove the stored settings"},
    {"stored-settings", nullptr, HandleStoredSettings,
     "use the stored settings in a run for a screen saver\ntoo (MATE's and XFCE's, which have no settings\nof "
     "their own for zarvo)"},
    {nullptr, nullptr, nullptr, "\nOther options:"},
    {"no-shm", nullptr, HandleNoShm, "never use the MIT-SHM extension"},
    {"seed", "N", HandleSeed, "seed the random generator with N (0 to 4294967295)"},
    {"frames", "N", HandleFrames, "end the program after N frames (0 to 1000000)"},
    {"still-after", "N", HandleStillAfter,
     "stop the animation after N frames and keep the\nwindow open (0 to 1000000)"},
    {"version", nullptr, HandleVersion, "print the version"},
    {"help", nullptr, HandleHelp, "show this text"},
    {"h", nullptr, HandleHelp, nullptr},
};
const size_t kZarvoOptionCount = sizeof kZarvoOptions / sizeof kZarvoOptions[0];

int ParseWindowId(const char* text, unsigned long* id) {
    if (!text || !*text) return 0;
    int hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    // strtoull would also take spaces and signs.
    if (!(hex ? isxdigit(static_cast<unsigned char>(*digits)) : isdigit(static_cast<unsigned char>(*digits)))) {
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

int ChooseDisplayProtocol(int forced, const char* waylandDisplay, int waylandAnswers, const char* x11Display) {
    if (forced != kProtocolAuto) return forced;
    const bool waylandNamed = waylandDisplay != nullptr && *waylandDisplay != '\0';
    if (waylandNamed && waylandAnswers) return kProtocolWayland;
    if (!waylandNamed || (x11Display != nullptr && *x11Display != '\0')) return kProtocolX11;
    return kProtocolAuto;
}

int ParseOptions(int argc, char** argv, ZarvoOptions* options, char* error, size_t errorSize) {
    SetDefaults(options);
    return ParseCommandLine(argc, argv, kZarvoOptions, kZarvoOptionCount, options, &options->settings, error,
                            errorSize) &&
           ApplyIdleMode(options, error, errorSize);
}

int ApplyScreenSaverWindow(ZarvoOptions* options, const char* envWindow, char* error, size_t errorSize) {
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
    ApplyGivenSettings(options->settings, record);
}

void ApplyDisplayOptions(const ZarvoOptions* options, DisplaySettings* display) {
    if (options->pictureSizeGiven) display->pictureSize = options->pictureSize;
    if (options->monitorsGiven) display->monitors = options->monitors;
}

// --monitors picks the monitors of a full-screen or background run (the
// outputs on Wayland). Any other window shows
// one scene, and XScreenSaver starts one zarvo for each monitor's window, so
// the choice has nothing to act on there; it is not refused, because a hack
// that refuses to start leaves XScreenSaver's screen black.
void ReportRunWarnings(const ZarvoOptions* options) {
    ReportClampedSettings("zarvo", options->settings, "using");
    if (options->idleClamped) {
        fprintf(stderr, "zarvo: --idle %s is outside 1 to %d; using %d\n", options->idleText, kMaxIdleSeconds,
                options->idleSeconds);
    }
    if (options->monitorsGiven && options->mode != kModeFullScreen && !options->background) {
        fprintf(stderr,
                "zarvo: --monitors acts only with --fullscreen or --background (or --save, which stores it); "
                "ignored\n");
    }
}

// The --help text: written from the option table, with the settings' files.
void PrintHelp(FILE* out) {
    fprintf(out,
            "Usage: zarvo [options]\n"
            "A night courtyard with circling crowds, walkway walkers and a stirring\n"
            "seated crowd. Options take one or two dashes; values follow as the next\n"
            "argument or after '='.\n"
            "\n");
    PrintOptionHelp(out, kZarvoOptions, kZarvoOptionCount);
    char path[4096] = "none: set HOME or XDG_CONFIG_HOME";
    char displayPath[4096] = "none";
    SettingsFilePath(path, sizeof path);
    DisplaySettingsFilePath(displayPath, sizeof displayPath);
    fprintf(out, "\nThe settings are stored in %s,\nthe picture size and monitors in %s.\n", path, displayPath);
}
