// The settings' built-in defaults and their 72-byte stored form.
#include "settings/settings.h"

#include <cstring>

const SettingsRecord kDefaultSettings = {{
    {20, 150, 100},   // CircleSpeed
    {30, 125, 50},    // CircleWalkers
    {1, 55, 30},      // IsleSpeed
    {5, 100, 50},     // IsleWalkers
    {0, 120, 2},      // RedrawSpeed
    {100, 600, 120},  // SeatShuffle
}};

namespace {

constexpr int kFieldCount = kSettingCount * 3;

int32_t* FieldAddress(SettingsRecord* record, int index) {
    Setting& entry = record->entries[index / 3];
    int32_t* fields[3] = {&entry.min, &entry.max, &entry.value};
    return fields[index % 3];
}

}  // namespace

void EncodeSettings(const SettingsRecord& record, uint8_t bytes[kSettingsRecordSize]) {
    SettingsRecord copy = record;
    for (int i = 0; i < kFieldCount; ++i) {
        const uint32_t field = static_cast<uint32_t>(*FieldAddress(&copy, i));
        for (int b = 0; b < 4; ++b) bytes[i * 4 + b] = static_cast<uint8_t>(field >> (8 * b));
    }
}

int DecodeSettings(const uint8_t* bytes, size_t size, SettingsRecord* record) {
    if (bytes == nullptr || record == nullptr || size == 0 || size > kSettingsRecordSize) return 0;
    // Byte-wise over the current stored form, so that a short value replaces
    // exactly the bytes it has, whatever the host's byte order.
    uint8_t merged[kSettingsRecordSize];
    EncodeSettings(*record, merged);
    std::memcpy(merged, bytes, size);
    for (int i = 0; i < kFieldCount; ++i) {
        uint32_t field = 0;
        for (int b = 0; b < 4; ++b) field |= static_cast<uint32_t>(merged[i * 4 + b]) << (8 * b);
        *FieldAddress(record, i) = static_cast<int32_t>(field);
    }
    return 1;
}
