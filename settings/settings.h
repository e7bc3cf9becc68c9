// The six user settings with their ranges, their 72-byte stored form and the
// store that keeps it (the registry on Windows, a file elsewhere).
#pragma once

#include <cstddef>
#include <cstdint>

struct Setting {
    int32_t min;
    int32_t max;
    int32_t value;
};

enum SettingIndex {
    CircleSpeed = 0,
    CircleWalkers = 1,
    IsleSpeed = 2,
    IsleWalkers = 3,
    RedrawSpeed = 4,
    SeatShuffle = 5,
    kSettingCount = 6,
};

// Six entries of min, max, value; stored whole, little-endian, 72 bytes.
struct SettingsRecord {
    Setting entries[kSettingCount];
};

constexpr size_t kSettingsRecordSize = 72;
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);

// The one record of the process; starts as the built-in defaults.
extern SettingsRecord settingsRecord;
// The built-in defaults (and so the built-in ranges).
extern const SettingsRecord kDefaultSettings;

// Loads the stored record into settingsRecord: 1 when something was loaded.
int ReadSettings();
// Stores all 72 bytes of settingsRecord; 1 in every case.
int WriteSettings();

// The stored form of a record: 18 little-endian signed 32-bit integers.
void EncodeSettings(const SettingsRecord& record, uint8_t bytes[kSettingsRecordSize]);
// Loads a stored value of `size` bytes over `record`. A value longer than 72
// bytes, or an empty one, loads nothing (0, record unchanged); a shorter one
// replaces the bytes it has and the rest of the record keeps its contents.
int DecodeSettings(const uint8_t* bytes, size_t size, SettingsRecord* record);

// Where the store keeps the record: the registry key under HKEY_CURRENT_USER
// on Windows, a file path elsewhere. Read returns 1 when a value was loaded.
int ReadSettingsFrom(const char* location, SettingsRecord* record);
int WriteSettingsTo(const char* location, const SettingsRecord& record);

#ifdef _WIN32
constexpr const char* kSettingsKeyPath = "Software\\Quillmark\\ScreenSavers\\Zarvo";
#else
// $XDG_CONFIG_HOME/zarvo/Config, or ~/.config/zarvo/Config when that is not
// set. Writes at most `capacity` bytes with the terminator; 0 when there is
// no home to put it in or the path does not fit.
int SettingsFilePath(char* path, size_t capacity);
// Reads the file at `path` into `bytes`: the count read, of which one more
// than a record tells a longer value; 0 for an empty file, one that is not a
// regular file or a read error; -1 when it cannot be opened.
long ReadSettingsFile(const char* path, uint8_t (&bytes)[kSettingsRecordSize + 1]);
#endif
