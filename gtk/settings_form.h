// What the settings window shows and stores, apart from the toolkit: the six
// settings and the display settings as loaded, the line that says a stored
// file could not be used, and the command that shows them full screen.
#pragma once

#include <string>
#include <vector>

#include "settings/display_settings.h"
#include "settings/settings.h"

struct SettingsForm {
    // The stored record (its ranges as stored) with the values shown.
    SettingsRecord record;
    DisplaySettings display;
    // The picture size as loaded, and whether the stored file names one:
    // Save stores it only then or when it was changed, as --save does.
    PictureSize loadedPictureSize;
    int storesPictureSize;
    // Why a stored file could not be used, one line; empty when both could.
    std::string note;
};

// The stored settings over the defaults; a file that cannot be used leaves
// the defaults and says so in `note`. Nothing is written.
SettingsForm LoadSettingsForm();
// The built-in defaults in place of the values shown.
void ResetSettingsForm(SettingsForm* form);
// Setting `index` set to `value`, clamped into its built-in range.
void SetFormValue(SettingsForm* form, int index, long value);
// Stores both files as `zarvo --save` does, through the same code. Its exit
// status: 0 when stored.
int SaveSettingsForm(const SettingsForm& form);
// `zarvo` run full screen with the values shown, none of them stored.
std::vector<std::string> FullScreenCommand(const SettingsForm& form, const std::string& zarvo);
