// The preview's run: one area, its ticks timed by the shared run and drawn
// by its view, each put on the window as a new texture.
#include "gtk/preview.h"

#include "app/signals.h"

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
    const int wait = MillisecondsUntilTick(preview->run, MonotonicMilliseconds());
    preview->timer = wait < 0 ? 0 : g_timeout_add(static_cast<guint>(wait), Tick, preview);
}

gboolean Tick(gpointer data) {
    Preview* preview = static_cast<Preview*>(data);
    if (TakeDueTick(&preview->run, MonotonicMilliseconds())) {
        Rect changed[kMaxViewChanges];
        if (TickAreas(&preview->run, Target(preview), changed, kMaxViewChanges) > 0) ShowPixels(preview);
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
    preview->deviceWidth = preview->width * scale;
    preview->deviceHeight = preview->height * scale;
    preview->pixels.assign(static_cast<size_t>(preview->deviceWidth) * preview->deviceHeight, 0xFF000000u);
    BeginRun(&preview->run,
             {settings, {kPictureCentred, kMonitorsAll}, preview->seedGiven, preview->seed, -1, preview->stillAfter});
    const MonitorPlan plan = {{0, 0, preview->deviceWidth, preview->deviceHeight}, 1, 1, preview->run.seed};
    SceneArea& area = preview->run.areas[0];
    if (StartAreaScenes(&preview->run, &plan, 1, {0, 32, 1}) != kRunReady || area.view == nullptr) {
        gtk_picture_set_paintable(preview->picture, nullptr);
        return;
    }
    MakeOpaque(*area.view);
    PaintAreas(&preview->run, Target(preview), 0, preview->deviceHeight);
    ShowPixels(preview);
    StartTicks(&preview->run, MonotonicMilliseconds());
    ScheduleTick(preview);
}

void ChangePreview(Preview* preview, const SettingsRecord& settings, int index) {
    // A new redraw speed times the ticks from the next one on.
    if (!ChangeRunSetting(&preview->run, index, settings.entries[index].value)) StartPreview(preview, settings);
}
