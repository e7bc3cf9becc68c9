// The X11 front end of the scene: command-line options, the saver window,
// conversion of the scene's RGB surface into the window's visual, and the loop
// that delivers paints and timed frames to the scene.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "scene/run_rules.h"
#include "scene/scene.h"
#include "scene/screen_view.h"
#include "settings/display_settings.h"
#include "settings/option_grammar.h"
#include "settings/settings.h"

// ---- Options (options.cpp, help.cpp) ----

constexpr int kDefaultWindowWidth = 1024;
constexpr int kDefaultWindowHeight = 768;
constexpr long kMaxFrames = 1000000;

struct ZarvoOptions {
    int mode;       // RunMode: window, full screen, root or preview (--window-id)
    int modeGiven;  // 1 when --fullscreen, --root or --window-id was given
    int width, height;
    int x, y, positionGiven;
    unsigned long windowId;
    const char* displayName;       // null: $DISPLAY
    GivenSettings settings;
    int pictureSizeGiven;
    PictureSize pictureSize;
    int monitorsGiven;
    MonitorChoice monitors;
    int save;
    int showSettings;
    int resetSettings;
    int help;
    int version;
    int noShm;
    int seedGiven;
    uint32_t seed;
    long frameLimit;  // frames drawn before the program ends; -1: no limit
    long stillAfter;  // frames drawn before the animation stops; -1: no limit
    int protocol;     // DisplayProtocol: as the environment says, or forced
    int background;   // --background: under the windows, not ended by input
    int layer;        // 0: background, 1: bottom (the layer-shell's numbers)
};

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
int ApplyScreenSaverWindow(ZarvoOptions* options, const char* envWindow, char* error,
                           size_t errorSize);
// 1 when XScreenSaver started this run: XSCREENSAVER_WINDOW is set or
// --root or --window-id was given.
int RunsForScreenSaver(const ZarvoOptions* options, const char* envWindow);
// The settings of a run: the built-in defaults, under the stored ones unless
// XScreenSaver started it (its settings tool leaves out an option whose
// slider sits at the default, so its command line is the whole truth), and
// the command line's over both.
void ChooseSettings(const ZarvoOptions* options, const char* envWindow, SettingsRecord* record,
                    DisplaySettings* display);
// Puts the values given on the command line into the record.
void ApplySettingOptions(const ZarvoOptions* options, SettingsRecord* record);
// The same for the display settings (picture size and monitors).
void ApplyDisplayOptions(const ZarvoOptions* options, DisplaySettings* display);
void PrintHelp(FILE* out);
// Before a run (not --save): each value given outside its range and
// --monitors without --fullscreen, named once on standard error.
void ReportRunWarnings(const ZarvoOptions* options);

// ---- The stored settings as the user sees them (stored_settings.cpp) ----

// The stored record over the defaults. A record that cannot be used (a file
// of the wrong size, not a plain file, or a value outside its range) is
// reported on standard error and the defaults are used.
void ReadStoredSettings(SettingsRecord* record);
// The stored display settings; a file that cannot be wholly used (as for
// the record, or one that is not text or names a value that is not one of
// the setting's) is reported likewise, the defaults standing in.
DisplaySettings ReadStoredDisplaySettings();
// Each setting with its range and default, then the display settings.
void PrintSettings(FILE* out, const SettingsRecord& record, const DisplaySettings& display);
// --save: stores both and says what and where, naming each value that was
// clamped into its range; --show-settings; --reset-settings. Exit statuses.
int SaveSettings(const ZarvoOptions* options, const SettingsRecord& record, const DisplaySettings& display);
int ShowSettings();
int ResetSettings();

// ---- Pixels (pixels.cpp) ----

// How the window's visual stores one pixel. `alphaMask` holds the bits of a
// 32-deep (ARGB) visual outside the colour masks; they are set to opaque.
struct PixelFormat {
    unsigned long redMask, greenMask, blueMask;
    int bitsPerPixel;
    unsigned long alphaMask;
};

// The visual's bits for each 8-bit level of each channel; a pixel is the OR of
// its three entries, so no per-pixel colour search is ever made.
struct ChannelTables {
    uint32_t red[256];
    uint32_t green[256];
    uint32_t blue[256];
};

void BuildChannelTables(const PixelFormat* format, ChannelTables* tables);
// 1 when the visual stores pixels exactly as the surface does (0x00RRGGBB in
// 32 bits), so the surface can be the image memory itself.
int FormatMatchesSurface(const PixelFormat* format);
// Converts `rect` (inside the surface) into `destination`, an image of the
// surface's size with `destinationPitch` bytes per row and 8, 16 or 32 bits
// per pixel in host byte order. 0 for other pixel sizes (nothing written).
int ConvertRect(const RgbSurface* surface, Rect rect, const ChannelTables* tables,
                int bitsPerPixel, uint8_t* destination, size_t destinationPitch);

// ---- The image put on the window (output.cpp) ----

struct FrameOutput {
    RgbSurface surface;  // what the scene draws into
    XImage* image;       // the same pixels in the window's visual
    XShmSegmentInfo shmInfo;
    int usesShm;
    int direct;               // surface.pixels is image->data
    uint32_t* surfaceMemory;  // owned surface pixels when not direct
    PixelFormat format;
    ChannelTables tables;
    GC gc;
};

// An output of width x height for a window of the given visual. 1 on success.
int CreateFrameOutput(Display* display, Window window, Visual* visual, int depth, int width,
                      int height, int allowShm, FrameOutput* output);
// The pixel format of a visual whose images store `bitsPerPixel` bits.
PixelFormat VisualPixelFormat(const Visual* visual, int depth, int bitsPerPixel);
// Converts one rectangle of the surface and queues it for the server.
void SendFrameRect(Display* display, Window window, FrameOutput* output, Rect rect);
// Sends what is queued and, with shared memory, waits until the server has
// read it (the next frame writes into the same memory).
void WaitForFrameRects(Display* display, const FrameOutput* output);
// Sends `count` rectangles and waits once after them all.
void PutFrameRects(Display* display, Window window, FrameOutput* output, const Rect* rects, int count);
// Maps every page of the output's memory now rather than at first touch.
void PopulateFrameOutput(const FrameOutput* output);
void DestroyFrameOutput(Display* display, FrameOutput* output);

// ---- X errors (errors.cpp) ----

// Records X protocol errors instead of exiting, so that a window that goes
// away ends the program cleanly.
void InstallXErrorHandler();
// The first error recorded since the last call (0: none), and its resource.
int TakeXError(unsigned long* resourceId);

// ---- The window (window.cpp) ----

struct SaverWindow {
    Window window;
    int owned;  // 1 when created here (window and full-screen modes)
    Visual* visual;
    int depth;
    Colormap colormap;  // created for a non-default visual, else None
    Cursor blankCursor;
    Atom wmProtocols, wmDeleteWindow;  // None unless the window is zarvo's own
};

// Creates the window of the window or full-screen mode, or takes the one to
// draw into. 1 on success; 0 with a message in `error`. A full-screen window
// is left unmapped for ShowFullScreenWindow.
int OpenSaverWindow(Display* display, const ZarvoOptions* options, SaverWindow* saver,
                    char* error, size_t errorSize);
void ShowFullScreenWindow(Display* display, const SaverWindow* saver);
// Takes the keyboard and the pointer for a full-screen run (retried briefly).
void GrabInput(Display* display, const SaverWindow* saver);
void CloseSaverWindow(Display* display, SaverWindow* saver);

// ---- Monitors (monitors.cpp) ----

// The monitors of the screen in root coordinates: RandR's monitors, else
// Xinerama's screens, else the whole screen as the one (primary) monitor.
// At most kMaxMonitors; the count (at least 1).
int QueryMonitors(Display* display, int screen, MonitorArea monitors[kMaxMonitors]);

// ---- Dismissal (dismiss.cpp) ----

// 1 for the keys that close the window mode: q and Escape.
int KeyClosesWindow(KeySym key);
// 1 for the window manager's close request (its close button) to a window
// of zarvo's own.
int IsCloseRequest(const SaverWindow* saver, const XClientMessageEvent* message);

// ---- The front end and its loop (frontend.cpp, loop.cpp) ----

// One area of the window: a monitor in full-screen mode, else the whole
// window. Without a scene it stays black.
struct WindowArea {
    Rect rect;  // in window coordinates
    Scene* scene;
    ScreenView* view;
};

struct FrontEnd {
    Display* display;
    ZarvoOptions options;
    SettingsRecord settings;  // the stored ones with the command line's over them
    DisplaySettings displaySettings;  // the same for the picture size and monitors
    WindowArea areas[kMaxMonitors];   // from the first exposure on
    int areaCount;
    const Scene* lead;  // the scene that times the frames; null before set-up
    SaverWindow saver;
    FrameOutput output;
    int outputReady;
    int anchorX, anchorY;
    int running;
    int exitStatus;
    int animating;
    long framesDrawn;       // in the whole run: what --frames counts
    long sceneFramesDrawn;  // since the scenes were last set up: what --still-after counts
    int64_t nextFrameMs;
    unsigned long paintSerial;  // the request that began the last whole paint
    int signalFd;  // readable once a termination signal arrived; -1: none
};

// 1 when the scene is set up and painted before the first exposure: a
// foreign window may be on screen already and never send one, and a
// full-screen window's size is known, so the server maps it meanwhile.
int StartsBeforeExposure(const FrontEnd* frontEnd);
// Sets a scene up for each area of the window (each monitor in full-screen
// mode) and paints the picture. 1 on success; 0 when the primary's scene
// refused or failed (exitStatus says why).
int StartScene(FrontEnd* frontEnd);
// Frees every area's scene and view.
void EndScenes(FrontEnd* frontEnd);
// The whole picture, as a paint message would draw it.
void PaintWindow(FrontEnd* frontEnd);
// One frame: composed in memory, then only the strip put on the window.
void DrawFrame(FrontEnd* frontEnd);
void HandleEvent(FrontEnd* frontEnd, XEvent* event);

int64_t MonotonicMilliseconds();
// The scene's frame period, but never below the 10 ms at which Windows timers
// fire, so that a redraw speed animates alike on both systems.
int HostFramePeriod(const Scene& scene);
// Holds SIGTERM, SIGINT and SIGHUP back until OpenSignalPipe takes them, so
// that one sent while zarvo starts ends it as cleanly as a later one.
void HoldTerminationSignals();
// A pipe that becomes readable on SIGTERM, SIGINT or SIGHUP, those held
// until now included; -1 on failure (the signals then end zarvo at once).
int OpenSignalPipe();
// Runs until closed, dismissed, signalled or the window goes away.
void RunEventLoop(FrontEnd* frontEnd);
