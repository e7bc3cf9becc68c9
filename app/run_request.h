// What zarvo's command line asks of this run, whatever the display: the
// options, and the settings they and the stored ones make.
#pragma once

#include "app/options.h"
#include "settings/display_settings.h"
#include "settings/settings.h"

struct RunRequest {
    ZarvoOptions options;
    SettingsRecord settings;          // the stored ones with the command line's over them
    DisplaySettings displaySettings;  // the same for the picture size and monitors
};

// Reads the command line and does what needs no display: --help,
// --version, --show-settings, --reset-settings and --save, and the
// warnings of a run. -1 when a run should follow, with `request` filled;
// otherwise the exit status (2 for a command line that cannot be used).
int ReadRunRequest(int argc, char** argv, RunRequest* request);
