// zarvo's command line up to the point where a display is needed.
#include "app/run_request.h"

#include <cstdio>
#include <cstdlib>

#include "app/stored_settings.h"

int ReadRunRequest(int argc, char** argv, RunRequest* request) {
    ZarvoOptions* options = &request->options;
    char error[256];
    if (!ParseOptions(argc, argv, options, error, sizeof error) ||
        !ApplyScreenSaverWindow(options, getenv("XSCREENSAVER_WINDOW"), error, sizeof error)) {
        fprintf(stderr, "zarvo: %s\nTry 'zarvo --help' for the options.\n", error);
        return 2;
    }
    if (options->help) {
        PrintHelp(stdout);
        return 0;
    }
    if (options->version) {
        printf("zarvo %s\n", kZarvoVersion);
        return 0;
    }
    if (options->showSettings) return ShowSettings();
    if (options->resetSettings) return ResetSettings();
    const int storesPictureSize =
        ChooseSettings(options, getenv("XSCREENSAVER_WINDOW"), &request->settings, &request->displaySettings);
    if (options->save) return SaveSettings(options, request->settings, request->displaySettings, storesPictureSize);
    ReportRunWarnings(options);
    return -1;
}
