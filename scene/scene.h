// The animated scene as a host drives it: a Scene record made at the first
// paint, one frame composed in memory per timer tick, and the record freed
// when the window goes. Each record owns everything its scene uses, so one
// process may run several side by side; a ScreenView puts it on a screen.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/palette.h"
#include "image/rect.h"
#include "image/span_sprite.h"
#include "scene/tables.h"
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

struct WalkwayWalker {
    float u;        // across the walkway
    float v;        // along it, 0 at the near end
    float du;       // change of u per tick
    float dv;       // change of v per tick
    int32_t pause;  // ticks left to rest; moves only while below 5
    int32_t cell;   // figure kind 6 to 9 (figure walkers only)
    int32_t way;    // index into walkwayQuads or dotQuads
};

struct SeatPatch {
    int32_t size, x, y;
};

constexpr int kWalkerGroupSize = 200;  // figure walkers, then dot walkers
constexpr int kDotWalkerFirst = kWalkerGroupSize;
constexpr int kWalkwayWalkerSlots = 2 * kWalkerGroupSize;
constexpr int kPatchRingSize = 600;
constexpr int kMaxSeatPatches = 599;
constexpr int kPreviewClass = 3;

// A frame restores, and a host puts on the screen, only the tiles of the
// frame image that figures were drawn on. Frames larger than the map are
// restored and reported whole. A row of tiles is one 64-bit word, bit x for
// tile column x: the largest class's frame is 917 pixels wide.
constexpr int kFrameTileWidth = 16;
constexpr int kFrameTileHeight = 8;
constexpr int kFrameTileColumns = 64;
constexpr int kFrameTileRows = 64;

// The scene's copies of the settings, clamped into their built-in ranges.
struct SceneSettings {
    int32_t circleWalkers;
    int32_t circleSpeed;
    int32_t seatPatches;
    int32_t walkwayWalkers;
    int32_t walkwaySpeed;
    int32_t redrawSpeed;
};

// One running scene. Set-up fills it; the frames change only the figures'
// part (walkers, patch ring, phase, generator) and the frame image.
struct Scene {
    SceneSettings settings;
    // Working copies of the stored tables, scaled for the class.
    SpriteCell spriteCells[kSpriteCellCount];
    WalkwayQuad walkwayQuads[2];
    WalkwayQuad dotQuads[2];
    SeatRegion seatRegions[kSeatRegionCount];

    WalkwayWalker walkwayWalkers[kWalkwayWalkerSlots];
    SeatPatch patchRing[kPatchRingSize];
    int32_t patchCursor;
    double circlePhase;
    uint32_t randomState;

    // 1 where the frame drew on a tile: the current frame's map and the
    // previous one's, which the current frame restored.
    uint64_t drawnTiles[2][kFrameTileRows];
    int32_t tilesNow;    // the current frame's map
    int32_t tilesKnown;  // 0 until a frame has restored the whole image
    // The frame image's size while it fits the map, set as each frame
    // starts (0 otherwise: nothing is marked), so that marking reads no header.
    int32_t markWidth, markHeight;

    int resolutionClass;  // 0 to 2 by the client's width, or the preview's
    int cellSetOffset;
    Point pictureOffset;  // of the picture centred in the client area
    Point frameOrigin;    // of the frame image in the picture

    Image* backgroundImage;
    Image* figureSheet;
    Image* foregroundSheet;
    Image* frameImage;  // null in the preview, which is never animated
    // The frame's part of the picture with the fixed pieces (foreground
    // pieces, building, lamps) drawn in: what a frame restores from, so that
    // those pieces are redrawn only where figures drew this frame. Null when
    // the frame does not lie within the picture and the tile map: frames then
    // restore from the picture and draw the fixed pieces whole.
    Image* fixedImage;
    Palette* palette;
    // The cells' opaque runs, made at set-up; a cell without one is drawn
    // by the transparent blit.
    SpanSprite* cellSprites[kSpriteCellCount];
};

enum SceneOutcome {
    kSceneReady,
    kSceneRefused,  // a display below the minimum: the host shows kMinimumConfigurationText
    kSceneFailed,   // a picture, image, palette or the record could not be made
};

struct SceneSetUp {
    Scene* scene;  // null unless ready
    SceneOutcome outcome;
};

inline constexpr char kMinimumConfigurationText[] = "Minimum configuration required:\r256 colors, 640 x 480 resolution";
inline constexpr char kSceneMessageCaption[] = "Zarvo.scr";

// Chooses the resolution class or refuses, places the walkers from `seed`,
// loads and scales the pictures and builds the palette.
SceneSetUp SetUpScene(const SceneWindowInfo& window, const SettingsRecord& settings, uint32_t seed);
// Frees the scene and everything it owns. Null is allowed.
void DestroyScene(Scene* scene);
// Starts the figures again as SetUpScene would with these settings and this
// seed, keeping the pictures, tables and palette (which no setting changes):
// a fuzzer tries many records on one scene.
void RestartScene(Scene& scene, const SettingsRecord& settings, uint32_t seed);
// 1 for a setting a running scene takes from the next tick on: it reads the
// circle speed, the circle walkers and the redraw speed every tick, and the
// walkway speed each time a walker sets off again. The walkway walkers are
// placed along their ways, and the ring of seat patches starts filling, at
// set-up, so those two need the scene started again.
int SettingChangesRunningScene(int index);
// Gives a running scene the settings it can take (above), clamped as at
// set-up; the others keep what the scene was set up with.
void ChangeSceneSettings(Scene& scene, const SettingsRecord& record);

// 1 when frames are drawn (every class but the preview's).
int SceneAnimates(const Scene& scene);
// 601 - 5 x redraw speed, in milliseconds.
int FrameTimerPeriod(const Scene& scene);

// The picture centred at pictureOffset with its own size, and the frame strip.
Rect PictureWindowRect(const Scene& scene);
Rect FrameWindowRect(const Scene& scene);

// One frame in memory: RestoreFrame, then the seated crowd, the walkway
// walkers, the foreground pieces and the circling walkers, in that order.
void ComposeFrame(Scene& scene);
// The parts of the frame image (in its own coordinates) that the last
// ComposeFrame changed, as at most `max` rectangles covering every changed
// pixel; the whole image after set-up or InvalidateFrame. The count written.
int FrameChangedRects(const Scene& scene, Rect* rects, int max);
// The next frame restores the whole frame image and reports all of it
// changed: for when something other than the frames wrote to it.
void InvalidateFrame(Scene& scene);
