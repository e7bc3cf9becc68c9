// A scene shown on a screen area of any size: the picture placed and scaled
// by the picture-size setting, black around it, and each tick's frame put
// back as the few screen pixels it changed. Portable: every host hands in
// its own surface (true colour or palette indices) and puts the returned
// rectangle on the screen.
#pragma once

#include <cstdint>

#include "image/screen_scale.h"
#include "scene/scene.h"
#include "settings/display_settings.h"

// A tick's changes as at most this many screen rectangles (more are merged):
// the seated crowd's patches scatter over the strip, and their bounding box
// would be most of it.
constexpr int kMaxViewChanges = 128;

struct ScreenView {
    Scene* scene;  // borrowed: destroy the view before the scene
    ScreenFit* fit;
    // The whole picture as the screen shows it: the background with the
    // latest frame image pasted at frameOrigin. A frame's strip is scaled
    // from this, so its edge pixels blend with the right neighbours and line
    // up with the whole paint.
    Image* picture;
    uint32_t rgbTable[kColorCount];  // the scene palette as 0x00RRGGBB
    uint8_t blackIndex;              // the palette entry nearest black
    // Per picture row, the spans where the latest frame differed from the
    // picture: only they are pasted and scaled.
    RowSpans* rowSpans;
    // The screen rectangles the last tick wrote, which a host puts on the
    // screen one by one (their bounding box is what the tick returns).
    Rect changed[kMaxViewChanges];
    // The picture rectangle behind each: the bounding box of its spans.
    Rect changedPicture[kMaxViewChanges];
    int changedCount;
    // The picture spans behind each of view.changed as the last present
    // wrote them, kept apart because view.rowSpans of a row two parts share
    // holds only the later part's: writtenParts[i] reads writtenRows. 0 in
    // writtenKnown when they did not fit in writtenRowRoom rows, or when
    // keepsWritten is 0: only a host that copies the last present's pixels
    // from one buffer to another (AddLastPresentRuns) sets it, so the
    // others do not pay for the copy of the spans every tick.
    PictureSpans writtenParts[kMaxViewChanges];
    RowSpans* writtenRows;
    int writtenRowRoom;
    int writtenRowCount;
    int writtenKnown;
    int keepsWritten;
    // 1 while the screen shows the strip as the last present put it; at
    // first and after ForgetShownPicture 0, and the next present puts the
    // whole strip.
    int32_t stripKnown;
};

// A view of `scene` on a width x height area. The scene should have been set
// up for that area (its resolution class and picture come from it). A
// preview scene is always centred: its pane is small and its picture made
// for it. Cover keeps the scene's strip whole on the area. Null when memory
// runs out or the scene has no picture.
ScreenView* CreateScreenView(Scene* scene, PictureSize size, int width, int height);
void DestroyScreenView(ScreenView* view);

// The whole area: black everywhere the picture is not, the scaled picture
// inside. Targets cover the area (0, 0, width, height) or part of it; true
// colour (RgbPixels) or palette indices (IndexPixels).
template <typename Pixel>
void PaintScreenView(ScreenView& view, const ScreenPixels<Pixel>& target);

// One timer tick: composes the frame and presents it.
template <typename Pixel>
Rect TickScreenView(ScreenView& view, const ScreenPixels<Pixel>& target);
// One timer tick for a host that puts the picture on the screen itself
// (Windows through GDI with the scene palette, at a whole factor): composes
// the frame and pastes what differs into view.picture, listing the changed
// picture rectangles in view.changedPicture, but writes no screen pixel
// and keeps no spans (AddLastPresentRuns says 0 after it).
Rect AdvanceScreenView(ScreenView& view);

// The frame just composed, on a target holding what the view drew last:
// within the parts the frame changed, the row spans where it differs from
// the picture are pasted into it and only the screen pixels reading them
// are written. view.changed lists, per changed part of the frame, the
// screen rectangle of its spans' bounding box; their bounding box is
// returned (empty when nothing differs, as in the never-animated preview).
template <typename Pixel>
Rect PresentScreenView(ScreenView& view, const ScreenPixels<Pixel>& target);

// Adds to `runs` (rows and columns of the view's area) exactly the screen
// pixels the last present wrote: for a host drawing ticks into two buffers
// in turn, whose other buffer copies them before it is drawn again. 0 when
// the view's record cannot say (the present wrote more rows than it
// keeps); the host then copies view.changed.
int AddLastPresentRuns(const ScreenView& view, ScreenRuns* runs);

// For when something else may have changed the screen's pixels (a window
// over it gone, its saved bits put back, a palette or display change): the
// next present writes and lists the whole strip, not only what differs.
void ForgetShownPicture(ScreenView& view);
