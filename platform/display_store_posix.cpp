// The display settings where there is no registry: a short text file beside
// the settings record's file, replaced atomically like it.
#include <cstdio>
#include <cstring>

#include "platform/services.h"
#include "platform/replace_file.h"

int DisplaySettingsFilePath(char* path, size_t capacity) {
    char record[4096];
    if (!SettingsFilePath(record, sizeof record)) return 0;
    const char* slash = std::strrchr(record, '/');
    if (slash == nullptr) return 0;
    const int written = std::snprintf(path, capacity, "%.*s/Display", static_cast<int>(slash - record), record);
    return written > 0 && static_cast<size_t>(written) < capacity ? 1 : 0;
}

long ReadDisplaySettingsFile(const char* path, uint8_t (&bytes)[kDisplayFileCapacity + 1]) {
    return ReadRegularFile(path, bytes, sizeof bytes);
}

DisplaySettings ReadDisplaySettingsFrom(const char* location) {
    uint8_t bytes[kDisplayFileCapacity + 1];
    const long size = ReadDisplaySettingsFile(location, bytes);
    if (size <= 0 || static_cast<size_t>(size) > kDisplayFileCapacity) return kDefaultDisplaySettings;
    return ParseDisplaySettings(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
}

int WriteDisplaySettingsTo(const char* location, const DisplaySettings& settings, int withPictureSize) {
    char text[128];
    const size_t length = FormatDisplaySettings(settings, text, sizeof text, withPictureSize);
    return length > 0 && ReplaceFile(location, reinterpret_cast<const uint8_t*>(text), length);
}

DisplaySettings ReadDisplaySettings() {
    char path[4096];
    return DisplaySettingsFilePath(path, sizeof path) ? ReadDisplaySettingsFrom(path) : kDefaultDisplaySettings;
}

int WriteDisplaySettings(const DisplaySettings& settings, int withPictureSize) {
    char path[4096];
    return DisplaySettingsFilePath(path, sizeof path) && WriteDisplaySettingsTo(path, settings, withPictureSize);
}
