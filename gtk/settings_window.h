// The settings window: the six settings as sliders, the picture size, the
// monitors, the idle start, the live preview and the buttons.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "gtk/idle_start.h"
#include "gtk/preview.h"
#include "gtk/settings_form.h"

struct SettingsWindow {
    GtkWindow* window;
    SettingsForm form;
    Preview preview;
    GtkRange* sliders[kSettingCount];  // by the record's index
    GtkDropDown* pictureSize;
    GtkDropDown* monitors;
    IdleDesktop desktop;
    GtkCheckButton* idleOn;
    GtkSpinButton* idleMinutes;
    GtkLabel* idleLine;  // the line to paste, where one is pasted
    GtkLabel* status;    // what Save could not do
    std::string zarvo;   // the zarvo the buttons start
    int filling;         // 1 while the controls are set from the form
};

// Builds and shows the window of `form`. The preview is width x height
// logical pixels, its seed fixed when `seedGiven`.
SettingsWindow* OpenSettingsWindow(const SettingsForm& form, const Preview& preview, const std::string& zarvo);
