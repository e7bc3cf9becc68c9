// The animated scene as a host drives it: set-up at the first paint, the whole
// picture on every paint, one frame per timer tick. Every host (the Windows
// saver window, the X11 front end, the headless renderer) calls only these.
#pragma once

#include "image/palette.h"
#include "image/platform.h"
#include "settings/settings.h"

// What set-up needs to know of the window and the display.
struct SceneWindowInfo {
    int clientWidth;
    int clientHeight;
    int screenWidth;   // tells a preview pane from a full-screen window
    int bitsPerPixel;  // the display's colour depth
    // The display's palette; null reads it from the platform (ReadDisplayPalette).
    const DisplayPaletteInfo* display;
};

// A rectangle in window (client) coordinates.
struct SceneRect {
    int x, y, width, height;
};

extern int sceneReady;            // 1 once set-up has succeeded (SetUpScene sets it)
// 1 once set-up has refused to run: a display below the minimum (after the
// message), or a picture, image or palette that could not be made (silently).
extern int configurationRefused;

// Set-up at the first paint: reads the stored settings, seeds the generator
// from the calendar time, places the walkers, chooses the resolution class or
// refuses (minimum-configuration message through ShowSceneMessage), loads and
// scales the pictures, builds the palette. `screen` is kept for the frames.
void SetUpScene(const SceneWindowInfo& window, DrawTarget screen);
// The same with the settings and the seed given (tests, the renderer):
// `settings` replaces ReadSettings, `seed` is stored as the generator state.
void SetUpSceneWith(const SceneWindowInfo& window, DrawTarget screen,
                    const SettingsRecord& settings, uint32_t seed);
// The seed SetUpScene takes, for hosts that pass their own settings: twice the
// calendar time in seconds, wrapping to 32 bits.
uint32_t SeedFromClock();
// Starts the figures of a set-up scene again as SetUpSceneWith would with
// these settings and this seed, keeping the pictures, tables and palette it
// made (which no setting changes): a fuzzer tries many records on one scene.
// Does nothing before a successful set-up.
void RestartScene(const SettingsRecord& settings, uint32_t seed);
// Releases every object of the scene and zeroes its state, so that a process
// can set up another scene (tests, the renderer). Hosts never call it.
void TearDownScene();

int SceneResolutionClass();
// 1 when frames are drawn (every class but the preview's).
int SceneAnimates();
// 601 - 5 x redraw speed, in milliseconds.
int FrameTimerPeriod();

// The picture drawn at pictureOffset with its own size, and the frame strip.
SceneRect PictureWindowRect();
SceneRect FrameWindowRect();

// Draws the whole (static) picture at pictureOffset. The host has selected
// and realised the scene palette (on targets without GDI this selects it).
void PaintScene(DrawTarget target);
// One frame in memory: RestoreFrame, then the seated crowd, the walkway
// walkers, the foreground pieces and the circling walkers, in that order.
void ComposeFrame();
// Puts the frame image on the screen target kept at set-up.
void PresentFrame();

// The scene's images and palette (null before set-up).
extern Image* BackgroundImage;
extern Image* FigureSheet;
extern Image* ForegroundSheet;
extern Image* FrameImage;

// Shows the minimum-configuration message and returns once it is dismissed.
// Windows: a message box; elsewhere the text goes to standard error.
void ShowSceneMessage(const char* text, const char* caption);
// Replaces what ShowSceneMessage does (tests, headless hosts); null restores it.
using SceneMessageHook = void (*)(const char* text, const char* caption);
void SetSceneMessageHook(SceneMessageHook hook);
