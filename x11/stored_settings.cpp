// Which settings a run uses: the stored ones only in runs of zarvo's own.
#include "platform/platform.h"
#include "x11/zarvo.h"

int RunsForScreenSaver(const ZarvoOptions* options, const char* envWindow) {
    if (envWindow && *envWindow) return 1;
    return options->mode == kModeRoot || options->mode == kModePreview;
}

void ChooseSettings(const ZarvoOptions* options, const char* envWindow, SettingsRecord* record,
                    DisplaySettings* display) {
    *record = kDefaultSettings;
    *display = kDefaultDisplaySettings;
    if (!RunsForScreenSaver(options, envWindow)) {
        ReadSettings(record);
        *display = ReadDisplaySettings();
    }
    ApplySettingOptions(options, record);
    ApplyDisplayOptions(options, display);
}
