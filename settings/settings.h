// The six user settings with their ranges and their 72-byte stored form (the
// store that keeps it is the platform's: platform/services.h).
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

// The built-in defaults (and so the built-in ranges).
extern const SettingsRecord kDefaultSettings;

// The stored form of a record: 18 little-endian signed 32-bit integers.
void EncodeSettings(const SettingsRecord& record, uint8_t bytes[kSettingsRecordSize]);
// Loads a stored value of `size` bytes over `record`. A value longer than 72
// bytes, or an empty one, loads nothing (0, record unchanged); a shorter one
// replaces the bytes it has and the rest of the record keeps its contents.
int DecodeSettings(const uint8_t* bytes, size_t size, SettingsRecord* record);
