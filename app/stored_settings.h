// The stored settings as the user meets them: which runs use them, what is
// stored and where, and a stored file that cannot be used.
#pragma once

#include <cstddef>
#include <cstdio>

#include "app/options.h"
#include "settings/display_settings.h"
#include "settings/settings.h"

// Loads the settings record file at `path` over `record`: null when it was
// loaded (or, when `optional`, there is none), else why it cannot be used
// (the wrong size, not a plain file, or a value outside its range).
const char* LoadSettingsFile(const char* path, int optional, SettingsRecord* record);
// The stored record over the defaults. A record that cannot be used (a file
// of the wrong size, not a plain file, or a value outside its range) is
// reported on standard error and the defaults are used.
void ReadStoredSettings(SettingsRecord* record);
// The same, for a window that shows the problem itself: it is written into
// `note` as one line without the program's name ("" when there is none).
void NoteStoredSettings(SettingsRecord* record, char* note, size_t size);
// A run of --background shows this picture size unless one is given or
// stored: a wallpaper fills its output.
constexpr PictureSize kBackgroundPictureSize = kPictureCover;

// The stored display settings over `base` (what the run shows where none
// is stored), and whether they name a picture size (`namesPictureSize` may
// be null); a file that cannot be wholly used (as for the record, or one
// that is not text or names a value that is not one of the setting's) is
// reported likewise, the base standing in.
DisplaySettings ReadStoredDisplaySettings(const DisplaySettings& base, int* namesPictureSize);
DisplaySettings NoteStoredDisplaySettings(const DisplaySettings& base, int* namesPictureSize, char* note, size_t size);
// Each setting with its range and default, then the display settings.
void PrintSettings(FILE* out, const SettingsRecord& record, const DisplaySettings& display);
// --save: stores both and says what and where, naming each value that was
// clamped into its range; the picture size only when it was given or
// `storesPictureSize` (ChooseSettings says); --show-settings;
// --reset-settings. Exit statuses.
int SaveSettings(const ZarvoOptions* options, const SettingsRecord& record, const DisplaySettings& display,
                 int storesPictureSize);
int ShowSettings();
int ResetSettings();

// 1 when XScreenSaver started this run: XSCREENSAVER_WINDOW is set or
// --root or --window-id was given.
int RunsForScreenSaver(const ZarvoOptions* options, const char* envWindow);
// The settings of a run: the built-in defaults, under the stored ones unless
// XScreenSaver started it (its settings tool leaves out an option whose
// slider sits at the default, so its command line is the whole truth), and
// the command line's over both. --stored-settings keeps the stored ones for
// a screen saver that starts zarvo in its window with a fixed command and
// offers no settings of its own for it (MATE's and XFCE's). --background's
// picture size is cover unless one is given or stored. 1 when the stored
// settings name a picture size.
int ChooseSettings(const ZarvoOptions* options, const char* envWindow, SettingsRecord* record,
                   DisplaySettings* display);
