// The preview's run: one area, its frames timed by the shared run and drawn
// by the one presenter, each put on the window as a new texture.
#include "gtk/preview.h"

#include "app/frame_clock.h"
#include "platform/services.h"

namespace {

gboolean Tick(gpointer data);

void ShowPixels(Preview* preview) {
    const size_t stride = static_cast<size_t>(preview->deviceWidth) * 4;
    GBytes* bytes = g_bytes_new(preview->pixels.data(), stride * preview->deviceHeight);
    GdkTexture* texture = gdk_memory_texture_new(preview->deviceWidth, preview->deviceHeight,
                                                 GDK_MEMORY_B8G8R8A8_PREMULTIPLIED, bytes, stride);
    gtk_picture_set_paintable(preview->picture, GDK_PAINTABLE(texture));
    g_object_unref(texture);
    g_bytes_unref(bytes);
}

RgbPixels Target(Preview* preview) {
    return {preview->pixels.data(), preview->deviceWidth, {0, 0, preview->deviceWidth, preview->deviceHeight}};
}

void ScheduleTick(Preview* preview) {
    const int wait = MillisecondsUntilFrame(preview->run, MonotonicMilliseconds());
    preview->timer = wait < 0 ? 0 : g_timeout_add(static_cast<guint>(wait), Tick, preview);
}

gboolean Tick(gpointer data) {
    Preview* preview = static_cast<Preview*>(data);
    SceneArea& area = preview->run.areas[0];
    if (TakeDueFrame(&preview->run, MonotonicMilliseconds()) && area.view != nullptr) {
        const Rect changed = TickScreenView(*area.view, Target(preview));
        CountFrame(&preview->run);
        if (changed.width > 0 && changed.height > 0) ShowPixels(preview);
    }
    ScheduleTick(preview);
    return G_SOURCE_REMOVE;
}

// The view writes its colours with an opaque alpha byte; only black outside
// the picture keeps 0, and the preview's shape leaves none.
void MakeOpaque(ScreenView& view) {
    for (uint32_t& colour : view.rgbTable) colour |= 0xFF000000u;
}

}  // namespace

void StopPreview(Preview* preview) {
    if (preview->timer != 0) g_source_remove(preview->timer);
    preview->timer = 0;
    EndScenes(&preview->run);
}

void StartPreview(Preview* preview, const SettingsRecord& settings) {
    StopPreview(preview);
    const int scale = gtk_widget_get_scale_factor(GTK_WIDGET(preview->picture));
    preview->settings = settings;
    preview->deviceWidth = preview->width * scale;
    preview->deviceHeight = preview->height * scale;
    preview->pixels.assign(static_cast<size_t>(preview->deviceWidth) * preview->deviceHeight, 0xFF000000u);
    preview->run = SceneRun{};
    preview->run.areaCount = 1;
    preview->run.running = 1;
    preview->run.frameLimit = -1;
    preview->run.stillAfter = preview->stillAfter;
    if (!preview->seedGiven) preview->seed = SeedFromClock();
    const MonitorPlan plan = {{0, 0, preview->deviceWidth, preview->deviceHeight}, 1, 1, preview->seed};
    const AreaSetUp setUp = {&preview->settings, kPictureCentred, preview->deviceWidth, 32, 1};
    SceneArea& area = preview->run.areas[0];
    if (!StartAreaScene(&preview->run, plan, setUp, &area) || area.view == nullptr) {
        gtk_picture_set_paintable(preview->picture, nullptr);
        return;
    }
    MakeOpaque(*area.view);
    PaintScreenView(*area.view, Target(preview));
    ShowPixels(preview);
    StartFrames(&preview->run, MonotonicMilliseconds());
    ScheduleTick(preview);
}

void ChangePreview(Preview* preview, const SettingsRecord& settings, int index) {
    Scene* scene = preview->run.areas[0].scene;
    if (scene == nullptr || !SettingChangesRunningScene(index)) {
        StartPreview(preview, settings);
        return;
    }
    preview->settings = settings;
    // A new redraw speed times the frames from the next one on.
    ChangeSceneSettings(*scene, preview->settings);
}
