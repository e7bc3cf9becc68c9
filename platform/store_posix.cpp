// The settings store where there is no registry: a file holding the same 72
// bytes, replaced atomically so that a crash never leaves half a record.
#include <cstdio>
#include <cstdlib>

#include "platform/services.h"
#include "platform/replace_file.h"

int SettingsFilePath(char* path, size_t capacity) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    int written = -1;
    // A relative XDG_CONFIG_HOME is invalid by its own rules and is ignored.
    if (config != nullptr && config[0] == '/') {
        written = std::snprintf(path, capacity, "%s/zarvo/Config", config);
    } else if (home != nullptr && home[0] != '\0') {
        written = std::snprintf(path, capacity, "%s/.config/zarvo/Config", home);
    }
    return written > 0 && static_cast<size_t>(written) < capacity ? 1 : 0;
}

long ReadSettingsFile(const char* path, uint8_t (&bytes)[kSettingsRecordSize + 1]) {
    return ReadRegularFile(path, bytes, sizeof bytes);
}

int ReadSettingsFrom(const char* location, SettingsRecord* record) {
    uint8_t buffer[kSettingsRecordSize + 1];
    const long size = ReadSettingsFile(location, buffer);
    if (size <= 0) return 0;
    return DecodeSettings(buffer, static_cast<size_t>(size), record);
}

int WriteSettingsTo(const char* location, const SettingsRecord& record) {
    uint8_t bytes[kSettingsRecordSize];
    EncodeSettings(record, bytes);
    // Failures are silent; the stored file is left as it was.
    ReplaceFile(location, bytes, sizeof bytes);
    return 1;
}

int ReadSettings(SettingsRecord* record) {
    char path[4096];
    return SettingsFilePath(path, sizeof path) ? ReadSettingsFrom(path, record) : 0;
}

int WriteSettings(const SettingsRecord& record) {
    char path[4096];
    if (SettingsFilePath(path, sizeof path)) WriteSettingsTo(path, record);
    return 1;
}
