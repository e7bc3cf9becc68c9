// The display settings on Windows: two REG_DWORD values, "PictureSize" and
// "Monitors", beside "Config" in the settings key.
#include <windows.h>

#include "platform/services.h"

namespace {

constexpr char kPictureSizeValue[] = "PictureSize";
constexpr char kMonitorsValue[] = "Monitors";
// The class the settings store gives the key, whichever store makes it first.
char kKeyClass[] = "Application Per-User Date";

// The value as a number; -1 (no setting's number) when it is missing or not
// a four-byte REG_DWORD.
int64_t ReadDword(HKEY key, const char* name) {
    DWORD type = 0, value = 0, size = sizeof value;
    const LONG result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) return -1;
    return value;
}

LONG WriteDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

}  // namespace

DisplaySettings ReadDisplaySettingsFrom(const char* location) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, location, 0, KEY_READ, &key) != ERROR_SUCCESS) return kDefaultDisplaySettings;
    const int64_t pictureSize = ReadDword(key, kPictureSizeValue);
    const int64_t monitors = ReadDword(key, kMonitorsValue);
    RegCloseKey(key);
    return DisplaySettingsFromNumbers(pictureSize, monitors);
}

int WriteDisplaySettingsTo(const char* location, const DisplaySettings& settings, int withPictureSize) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, location, 0, kKeyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    // Only known numbers are stored, whatever the record holds.
    const DisplaySettings valid = DisplaySettingsFromNumbers(settings.pictureSize, settings.monitors);
    const LONG picture = withPictureSize ? WriteDword(key, kPictureSizeValue, DWORD(valid.pictureSize))
                                         : RegDeleteValueA(key, kPictureSizeValue);
    const bool stored = (picture == ERROR_SUCCESS || (!withPictureSize && picture == ERROR_FILE_NOT_FOUND)) &&
                        WriteDword(key, kMonitorsValue, DWORD(valid.monitors)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return stored ? 1 : 0;
}

DisplaySettings ReadDisplaySettings() { return ReadDisplaySettingsFrom(kSettingsKeyPath); }

int WriteDisplaySettings(const DisplaySettings& settings, int withPictureSize) {
    return WriteDisplaySettingsTo(kSettingsKeyPath, settings, withPictureSize);
}
