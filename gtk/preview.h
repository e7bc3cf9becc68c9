// The settings window's live preview: the scene of the values shown, run by
// the shared run (app/scene_run.h) in one area and drawn through its view
// into a texture the window shows.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <vector>

#include "app/scene_run.h"

struct Preview {
    GtkPicture* picture;
    int width, height;  // logical pixels; the scene has as many device pixels
    uint32_t seed;
    int seedGiven;
    long stillAfter;  // ticks before the preview stands still; -1: never
    SceneRun run;
    std::vector<uint32_t> pixels;  // the area's pixels, B, G, R, A in memory
    int deviceWidth, deviceHeight;
    guint timer;
};

// Starts (or starts again) the scene of `settings` at the picture's size
// times its scale. A refusal or failure leaves the picture empty.
void StartPreview(Preview* preview, const SettingsRecord& settings);
// The preview with setting `index` changed: the running scene takes a
// setting it can take at once, the others start it again.
void ChangePreview(Preview* preview, const SettingsRecord& settings, int index);
void StopPreview(Preview* preview);
