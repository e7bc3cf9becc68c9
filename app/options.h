// zarvo's command line, the same for every display protocol: the modes,
// the window's geometry, the six settings, the display settings and the
// options tests use. Every value is checked before it is used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "app/option_grammar.h"
#include "app/run_rules.h"
#include "settings/display_settings.h"
#include "settings/settings.h"

constexpr int kDefaultWindowWidth = 1024;
constexpr int kDefaultWindowHeight = 768;
constexpr long kMaxFrames = 1000000;

struct ZarvoOptions {
    int mode;       // RunMode: window, full screen, root or preview (--window-id)
    int modeGiven;  // 1 when --fullscreen, --root or --window-id was given
    int width, height;
    int x, y, positionGiven;
    unsigned long windowId;
    const char* displayName;  // null: $DISPLAY
    GivenSettings settings;
    int pictureSizeGiven;
    PictureSize pictureSize;
    int monitorsGiven;
    MonitorChoice monitors;
    int save;
    int showSettings;
    int resetSettings;
    int storedSettings;  // --stored-settings: a run for a screen saver uses them too
    int help;
    int version;
    int noShm;
    int seedGiven;
    uint32_t seed;
    long frameLimit;       // frames drawn before the program ends; -1: no limit
    long stillAfter;       // frames drawn before the animation stops; -1: no limit
    int protocol;          // DisplayProtocol: as the environment says, or forced
    int background;        // --background: under the windows, not ended by input
    int layer;             // 0: background, 1: bottom (the layer-shell's numbers)
    int idleSeconds;       // --idle: cover the outputs after this long without input; 0: not given
    const char* idleText;  // as given, to name a value that was clamped
    int idleClamped;
};

constexpr int kMaxIdleSeconds = 86400;

// Which display protocol a run speaks.
enum DisplayProtocol { kProtocolAuto, kProtocolWayland, kProtocolX11 };
// The protocol to use: forced by --wayland or --x11, else Wayland when
// WAYLAND_DISPLAY is set and a compositor answers there, else X11 (whose
// own message tells when DISPLAY is missing too). kProtocolAuto when
// WAYLAND_DISPLAY names no compositor and no X display is named either.
int ChooseDisplayProtocol(int forced, const char* waylandDisplay, int waylandAnswers, const char* x11Display);

// Every option of zarvo; --help is written from it.
extern const CommandOption kZarvoOptions[];
extern const size_t kZarvoOptionCount;

// Fills `options` from argv (options take one or two dashes, values either as
// the next argument or after '='). 1 on success; 0 with a message in `error`.
int ParseOptions(int argc, char** argv, ZarvoOptions* options, char* error, size_t errorSize);
// Decimal or 0x-prefixed hexadecimal X window id; 1 when valid.
int ParseWindowId(const char* text, unsigned long* id);
// Applies XSCREENSAVER_WINDOW (null when unset): it names the window to draw
// into unless --fullscreen or --window-id chose otherwise. 1 on success.
int ApplyScreenSaverWindow(ZarvoOptions* options, const char* envWindow, char* error, size_t errorSize);
// Puts the values given on the command line into the record.
void ApplySettingOptions(const ZarvoOptions* options, SettingsRecord* record);
// The same for the display settings (picture size and monitors).
void ApplyDisplayOptions(const ZarvoOptions* options, DisplaySettings* display);
void PrintHelp(FILE* out);
// Before a run (not --save): each value given outside its range and
// --monitors without --fullscreen, named once on standard error.
void ReportRunWarnings(const ZarvoOptions* options);
