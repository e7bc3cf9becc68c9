// The six user settings with their ranges, and their 72-byte stored form.
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

// The one record of the process; starts as the built-in defaults.
extern SettingsRecord settingsRecord;
// The built-in defaults (and so the built-in ranges).
extern const SettingsRecord kDefaultSettings;

// Loads the stored record into settingsRecord: 1 when something was loaded.
int ReadSettings();
// Stores all 72 bytes of settingsRecord; 1 in every case.
int WriteSettings();
