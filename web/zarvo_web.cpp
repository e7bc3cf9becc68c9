// The scene in a web page: the core's own Scene and ScreenView behind a few C
// functions the page calls, drawing straight into the bytes the page puts on
// its canvas. One scene at a time; the page starts it again for a new size, seed
// or picture size, and for a setting the running scene cannot take.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "app/scene_run.h"
#include "settings/picture_sizes.h"
#include "web/canvas.h"

namespace {

// What the page shows: one run of one area, the whole canvas, and the
// canvas's ImageData bytes it draws into.
struct WebHost {
    SceneRun run;
    std::vector<uint32_t> pixels;
    RgbPixels canvas;
};

WebHost web;

ScreenView* View() { return web.run.areas[0].view; }

}  // namespace

extern "C" {

// The built-in range and default of setting `index` (0 to 5), `field` 0 for
// the least, 1 for the most, 2 for the default; 0 for anything else.
EMSCRIPTEN_KEEPALIVE int zarvo_setting(int index, int field) {
    if (index < 0 || index >= kSettingCount) return 0;
    const Setting& s = kDefaultSettings.entries[index];
    return field == 0 ? s.min : field == 1 ? s.max : field == 2 ? s.value : 0;
}

// The picture sizes the page offers, from their one table: how many, and
// of the size numbered `index` its label (`field` 0), what it shows (1) or
// its name (2); null for anything else.
EMSCRIPTEN_KEEPALIVE int zarvo_picture_size_count() { return kPictureSizeCount; }
EMSCRIPTEN_KEEPALIVE const char* zarvo_picture_size(int index, int field) {
    if (index < 0 || index >= kPictureSizeCount) return nullptr;
    const PictureSizeEntry& e = kPictureSizes[index];
    return field == 0 ? e.label : field == 1 ? e.help : field == 2 ? e.name : nullptr;
}

// Sets the scene up on a width x height canvas and paints it. `values` holds
// the six settings in their stored order (null: the defaults). A canvas
// narrower than 640 shows the 640 x 480 scene shrunk to fit, as zarvo's small
// windows do. 1 when it runs; 0 when memory runs out, and then nothing is shown.
EMSCRIPTEN_KEEPALIVE int zarvo_start(int width, int height, int pictureSize, uint32_t seed, const int32_t* values) {
    EndScenes(&web.run);
    if (width <= 0 || height <= 0 || width > kMaxScreenSide || height > kMaxScreenSide) return 0;
    if (pictureSize < 0 || pictureSize >= kPictureSizeCount) pictureSize = kPictureCentred;
    SettingsRecord settings = kDefaultSettings;
    for (int i = 0; values != nullptr && i < kSettingCount; ++i) settings.entries[i].value = values[i];
    web.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    web.canvas = {web.pixels.data(), width, {0, 0, width, height}};
    BeginRun(&web.run, {settings, {static_cast<PictureSize>(pictureSize), kMonitorsAll}, 1, seed, -1, -1});
    const MonitorPlan plan{web.canvas.area, 1, 1, seed};
    if (StartAreaScenes(&web.run, &plan, 1, {0, 32, 1}) != kRunReady || View() == nullptr) {
        EndScenes(&web.run);
        return 0;
    }
    UseCanvasByteOrder(*View());
    PaintAreas(&web.run, web.canvas, 0, height);
    MakeOpaque(web.pixels);
    StartTicks(&web.run, 0);
    return 1;
}

// 1 when setting `index` changes the running scene without a new start.
EMSCRIPTEN_KEEPALIVE int zarvo_live(int index) { return SettingChangesRunningScene(index); }

// Gives the running scene `value` for setting `index`; 1 when it took it, 0
// when the setting needs a new start (or nothing runs).
EMSCRIPTEN_KEEPALIVE int zarvo_change(int index, int value) { return ChangeRunSetting(&web.run, index, value); }

// One timer tick; 1 when the canvas bytes changed.
EMSCRIPTEN_KEEPALIVE int zarvo_tick() {
    if (View() == nullptr || !web.run.animating) return 0;
    Rect changed[kMaxViewChanges];
    return TickAreas(&web.run, web.canvas, changed, kMaxViewChanges) > 0;
}

// How many rectangles the last tick wrote: the page puts each on the canvas
// on its own, as their bounding box is mostly pixels the tick did not touch.
EMSCRIPTEN_KEEPALIVE int zarvo_changed_count() { return View() ? View()->changedCount : 0; }

// Of the last tick's rectangle `index`, `field` 0 to 3 for its x, y, width
// and height; 0 for anything else.
EMSCRIPTEN_KEEPALIVE int zarvo_changed(int index, int field) {
    if (View() == nullptr || index < 0 || index >= View()->changedCount) return 0;
    const Rect& r = View()->changed[index];
    return field == 0 ? r.x : field == 1 ? r.y : field == 2 ? r.width : field == 3 ? r.height : 0;
}

// Milliseconds between ticks for the redraw speed; 0 when nothing runs.
EMSCRIPTEN_KEEPALIVE int zarvo_period() { return RunTickPeriod(web.run); }

// The canvas's RGBA bytes, width x height x 4; null when nothing runs.
EMSCRIPTEN_KEEPALIVE uint8_t* zarvo_pixels() {
    return View() ? reinterpret_cast<uint8_t*>(web.pixels.data()) : nullptr;
}

}  // extern "C"
