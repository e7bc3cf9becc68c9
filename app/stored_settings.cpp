// The stored settings as the user meets them: which runs use them, what is
// stored and where, and a stored record that cannot be used.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <unistd.h>

#include "app/stored_settings.h"
#include "platform/services.h"

namespace {

constexpr size_t kPathCapacity = 4096;

// The stored display settings at `path` over `base`, and whether they name
// a picture size; `problem`, when given, says why they cannot be wholly
// used (null when they can, or when there are none).
DisplaySettings StoredDisplay(const char* path, const DisplaySettings& base, int* namesPictureSize,
                              const char** problem) {
    uint8_t bytes[kDisplayFileCapacity + 1];
    errno = 0;
    const long size = ReadDisplaySettingsFile(path, bytes);
    const char* text = reinterpret_cast<const char*>(bytes);
    const bool usable = size > 0 && static_cast<size_t>(size) <= kDisplayFileCapacity;
    *problem = size < 0    ? (errno == ENOENT ? nullptr : "it cannot be opened")
               : size == 0 ? "it is empty or not a plain file"
               : !usable   ? "it holds more than 4096 bytes"
                           : DisplaySettingsProblem(text, static_cast<size_t>(size));
    *namesPictureSize = 0;
    return usable ? ParseDisplaySettings(text, static_cast<size_t>(size), base, namesPictureSize) : base;
}

void PrintPaths(FILE* out) {
    char path[kPathCapacity] = "(no HOME or XDG_CONFIG_HOME)";
    char displayPath[kPathCapacity] = "(no HOME or XDG_CONFIG_HOME)";
    SettingsFilePath(path, sizeof path);
    DisplaySettingsFilePath(displayPath, sizeof displayPath);
    fprintf(out, "Settings file: %s\nDisplay settings file: %s\n", path, displayPath);
}

}  // namespace

const char* LoadSettingsFile(const char* path, int optional, SettingsRecord* record) {
    uint8_t bytes[kSettingsRecordSize + 1];
    errno = 0;
    const long size = ReadSettingsFile(path, bytes);
    if (size < 0) return optional && errno == ENOENT ? nullptr : "it cannot be opened";
    if (size == 0) return "it is empty or not a plain file";
    if (static_cast<size_t>(size) > kSettingsRecordSize) return "it holds more than 72 bytes";
    SettingsRecord loaded = *record;
    DecodeSettings(bytes, static_cast<size_t>(size), &loaded);
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting& range = kDefaultSettings.entries[i];
        const int32_t value = loaded.entries[i].value;
        if (value < range.min || value > range.max) return "a value lies outside its range";
    }
    *record = loaded;
    return nullptr;
}

void NoteStoredSettings(SettingsRecord* record, char* note, size_t size) {
    char path[kPathCapacity];
    if (size > 0) note[0] = '\0';
    if (!SettingsFilePath(path, sizeof path)) return;
    if (const char* problem = LoadSettingsFile(path, 1, record)) {
        snprintf(note, size, "the stored settings in %s cannot be used (%s); using the defaults", path, problem);
    }
}

void ReadStoredSettings(SettingsRecord* record) {
    char note[kPathCapacity + 128];
    NoteStoredSettings(record, note, sizeof note);
    if (note[0] != '\0') fprintf(stderr, "zarvo: %s\n", note);
}

DisplaySettings NoteStoredDisplaySettings(const DisplaySettings& base, int* namesPictureSize, char* note, size_t size) {
    char path[kPathCapacity];
    int names = 0;
    const char* problem = nullptr;
    if (size > 0) note[0] = '\0';
    const DisplaySettings stored =
        DisplaySettingsFilePath(path, sizeof path) ? StoredDisplay(path, base, &names, &problem) : base;
    if (problem != nullptr) {
        snprintf(note, size,
                 "the stored display settings in %s cannot be used (%s); using the defaults for what cannot", path,
                 problem);
    }
    if (namesPictureSize != nullptr) *namesPictureSize = names;
    return stored;
}

DisplaySettings ReadStoredDisplaySettings(const DisplaySettings& base, int* namesPictureSize) {
    char note[kPathCapacity + 128];
    const DisplaySettings stored = NoteStoredDisplaySettings(base, namesPictureSize, note, sizeof note);
    if (note[0] != '\0') fprintf(stderr, "zarvo: %s\n", note);
    return stored;
}

void PrintSettings(FILE* out, const SettingsRecord& record, const DisplaySettings& display) {
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting& range = kDefaultSettings.entries[i];
        fprintf(out, "  %-16s %4d   (%d to %d, default %d)\n", SettingOptionOf(i).name, record.entries[i].value,
                range.min, range.max, range.value);
    }
    fprintf(out, "  %-16s %s   (default %s; %s with --background)\n", "picture-size",
            PictureSizeName(display.pictureSize), PictureSizeName(kDefaultDisplaySettings.pictureSize),
            PictureSizeName(kBackgroundPictureSize));
    fprintf(out, "  %-16s %s   (default %s)\n", "monitors", MonitorChoiceName(display.monitors),
            MonitorChoiceName(kDefaultDisplaySettings.monitors));
}

// The store itself reports nothing, so the file is read back to tell the
// user whether --save worked. A picture size is stored only when one was
// given or is stored already: otherwise each run keeps its own default
// (cover for --background), which a stored centred would override.
int SaveSettings(const ZarvoOptions* options, const SettingsRecord& record, const DisplaySettings& display,
                 int storesPictureSize) {
    char path[kPathCapacity];
    char displayPath[kPathCapacity] = "";
    if (!SettingsFilePath(path, sizeof path) || !DisplaySettingsFilePath(displayPath, sizeof displayPath)) {
        fprintf(stderr, "zarvo: nowhere to store the settings: set HOME or XDG_CONFIG_HOME\n");
        return 1;
    }
    WriteSettings(record);
    SettingsRecord stored = kDefaultSettings;
    if (!ReadSettingsFrom(path, &stored) || memcmp(&stored, &record, sizeof stored) != 0) {
        fprintf(stderr, "zarvo: could not store the settings in %s\n", path);
        return 1;
    }
    if (!WriteDisplaySettings(display, storesPictureSize || options->pictureSizeGiven)) {
        fprintf(stderr, "zarvo: could not store the display settings in %s\n", displayPath);
        return 1;
    }
    ReportClampedSettings("zarvo", options->settings, "stored");
    printf("Stored these settings:\n");
    PrintSettings(stdout, record, display);
    PrintPaths(stdout);
    return 0;
}

int ShowSettings() {
    SettingsRecord record = kDefaultSettings;
    ReadStoredSettings(&record);
    printf("Stored settings (the defaults where none are stored):\n");
    PrintSettings(stdout, record, ReadStoredDisplaySettings(kDefaultDisplaySettings, nullptr));
    PrintPaths(stdout);
    return 0;
}

int ResetSettings() {
    char path[kPathCapacity];
    char displayPath[kPathCapacity];
    if (!SettingsFilePath(path, sizeof path) || !DisplaySettingsFilePath(displayPath, sizeof displayPath)) {
        fprintf(stderr, "zarvo: no settings folder: set HOME or XDG_CONFIG_HOME\n");
        return 1;
    }
    int status = 0;
    for (const char* file : {path, displayPath}) {
        if (unlink(file) == 0) {
            printf("Removed %s\n", file);
        } else if (errno != ENOENT) {
            fprintf(stderr, "zarvo: cannot remove %s: %s\n", file, strerror(errno));
            status = 1;
        }
    }
    printf("zarvo now uses the default settings.\n");
    return status;
}

int RunsForScreenSaver(const ZarvoOptions* options, const char* envWindow) {
    if (envWindow && *envWindow) return 1;
    return options->mode == kModeRoot || options->mode == kModePreview;
}

int ChooseSettings(const ZarvoOptions* options, const char* envWindow, SettingsRecord* record,
                   DisplaySettings* display) {
    *record = kDefaultSettings;
    *display = kDefaultDisplaySettings;
    // A wallpaper, or a lock screen's background, fills its output.
    if (options->background) display->pictureSize = kBackgroundPictureSize;
    int storesPictureSize = 0;
    if (!RunsForScreenSaver(options, envWindow) || options->storedSettings) {
        ReadStoredSettings(record);
        *display = ReadStoredDisplaySettings(*display, &storesPictureSize);
    }
    ApplySettingOptions(options, record);
    ApplyDisplayOptions(options, display);
    return storesPictureSize;
}
