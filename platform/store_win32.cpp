// The settings store on Windows: one REG_BINARY value "Config" under a key of
// HKEY_CURRENT_USER.
#include <windows.h>

#include "platform/services.h"

namespace {

constexpr DWORD kReadAccess = KEY_READ;  // 0x20019
char kKeyClass[] = "Application Per-User Date";

}  // namespace

int ReadSettingsFrom(const char* location, SettingsRecord* record) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, location, 0, kReadAccess, &key) != ERROR_SUCCESS) return 0;
    BYTE buffer[kSettingsRecordSize];
    DWORD size = sizeof buffer;
    // A value longer than the buffer fails with ERROR_MORE_DATA and is ignored.
    const LONG result = RegQueryValueExA(key, "Config", nullptr, nullptr, buffer, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size > sizeof buffer) return 0;
    return DecodeSettings(buffer, size, record);
}

int WriteSettingsTo(const char* location, const SettingsRecord& record) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, location, 0, kKeyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, &disposition) != ERROR_SUCCESS) {
        return 1;  // failures are silent; the next run loads the defaults again
    }
    BYTE bytes[kSettingsRecordSize];
    EncodeSettings(record, bytes);
    RegSetValueExA(key, "Config", 0, REG_BINARY, bytes, sizeof bytes);
    RegCloseKey(key);
    return 1;
}

int ReadSettings(SettingsRecord* record) { return ReadSettingsFrom(kSettingsKeyPath, record); }

int WriteSettings(const SettingsRecord& record) { return WriteSettingsTo(kSettingsKeyPath, record); }
