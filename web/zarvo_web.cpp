// The scene in a web page: the core's own Scene and ScreenView behind a few C
// functions the page calls, drawing straight into the bytes the page puts on
// its canvas. One scene at a time; the page starts it again for a new size, seed
// or picture size, and for a setting the running scene cannot take.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <vector>

#include "app/monitor_plan.h"
#include "platform/services.h"
#include "scene/scene.h"
#include "scene/screen_view.h"
#include "settings/picture_sizes.h"
#include "web/canvas.h"

namespace {

// What the page shows: the scene, its view and the surfaces it is drawn on.
struct WebScene {
    Scene* scene = nullptr;
    ScreenView* view = nullptr;
    std::vector<uint32_t> surfacePixels;  // the canvas's ImageData bytes
    RgbSurface surface{};
    SettingsRecord settings = kDefaultSettings;  // as the page last gave them
};

WebScene current;

void Stop() {
    DestroyScreenView(current.view);
    DestroyScene(current.scene);
    current = WebScene{};
}

RgbPixels Target() {
    return {current.surfacePixels.data(), current.surface.pitch, {0, 0, current.surface.width, current.surface.height}};
}

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
    Stop();
    if (width <= 0 || height <= 0 || width > kMaxScreenSide || height > kMaxScreenSide) return 0;
    if (pictureSize < 0 || pictureSize >= kPictureSizeCount) pictureSize = kPictureCentred;
    for (int i = 0; values != nullptr && i < kSettingCount; ++i) current.settings.entries[i].value = values[i];
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    current.surfacePixels.assign(count, 0);
    current.surface = {current.surfacePixels.data(), width, height, width};
    static DisplayPaletteInfo trueColour = {-1, 0, {}};
    PictureSize size = static_cast<PictureSize>(pictureSize);
    const SceneWindowInfo window = ShrinkSmallArea({width, height, width, 32, &trueColour}, &size);
    current.scene = SetUpScene(window, current.settings, seed).scene;
    if (current.scene != nullptr) current.view = CreateScreenView(current.scene, size, width, height);
    if (current.view == nullptr) {
        Stop();
        return 0;
    }
    UseCanvasByteOrder(*current.view);
    PaintScreenView(*current.view, Target());
    MakeOpaque(current.surfacePixels);
    return 1;
}

// 1 when setting `index` changes the running scene without a new start.
EMSCRIPTEN_KEEPALIVE int zarvo_live(int index) { return SettingChangesRunningScene(index); }

// Gives the running scene `value` for setting `index`; 1 when it took it, 0
// when the setting needs a new start (or nothing runs).
EMSCRIPTEN_KEEPALIVE int zarvo_change(int index, int value) {
    if (current.scene == nullptr || index < 0 || index >= kSettingCount || !SettingChangesRunningScene(index)) {
        return 0;
    }
    current.settings.entries[index].value = value;
    ChangeSceneSettings(*current.scene, current.settings);
    return 1;
}

// One timer tick; 1 when the canvas bytes changed.
EMSCRIPTEN_KEEPALIVE int zarvo_tick() {
    if (current.view == nullptr || !SceneAnimates(*current.scene)) return 0;
    const Rect changed = TickScreenView(*current.view, Target());
    return changed.width > 0 && changed.height > 0;
}

// How many rectangles the last tick wrote: the page puts each on the canvas
// on its own, as their bounding box is mostly pixels the tick did not touch.
EMSCRIPTEN_KEEPALIVE int zarvo_changed_count() { return current.view ? current.view->changedCount : 0; }

// Of the last tick's rectangle `index`, `field` 0 to 3 for its x, y, width
// and height; 0 for anything else.
EMSCRIPTEN_KEEPALIVE int zarvo_changed(int index, int field) {
    if (current.view == nullptr || index < 0 || index >= current.view->changedCount) return 0;
    const Rect& r = current.view->changed[index];
    return field == 0 ? r.x : field == 1 ? r.y : field == 2 ? r.width : field == 3 ? r.height : 0;
}

// Milliseconds between ticks for the redraw speed; 0 when nothing runs.
EMSCRIPTEN_KEEPALIVE int zarvo_period() { return current.scene ? FrameTimerPeriod(*current.scene) : 0; }

// The canvas's RGBA bytes, width x height x 4; null when nothing runs.
EMSCRIPTEN_KEEPALIVE uint8_t* zarvo_pixels() {
    return current.view ? reinterpret_cast<uint8_t*>(current.surfacePixels.data()) : nullptr;
}

}  // extern "C"
