// Fuzz target for the settings file: any bytes as its contents through
// ReadSettingsFrom and back, and as XDG_CONFIG_HOME for the file's path.
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/services.h"
#include "tests/fuzz/scratch_files.h"

namespace {

std::string contentsPath;
std::string writtenPath;

// A record whose every byte differs, so that a byte loaded from the wrong
// place or left unloaded shows.
SettingsRecord Pattern() {
    uint8_t bytes[kSettingsRecordSize];
    for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<uint8_t>(0xA0 + i);
    SettingsRecord record = {};
    DecodeSettings(bytes, sizeof bytes, &record);
    return record;
}

// A value of 1 to 72 bytes replaces that many bytes; any other loads nothing.
void CheckRead(const uint8_t* data, size_t size) {
    const SettingsRecord before = Pattern();
    SettingsRecord record = before;
    const int loaded = ReadSettingsFrom(contentsPath.c_str(), &record);
    if (loaded != (size >= 1 && size <= kSettingsRecordSize ? 1 : 0)) std::abort();
    uint8_t expected[kSettingsRecordSize], got[kSettingsRecordSize];
    EncodeSettings(before, expected);
    if (loaded) std::memcpy(expected, data, size);
    EncodeSettings(record, got);
    if (std::memcmp(expected, got, sizeof got) != 0) std::abort();

    // What was read is written back whole and reads back the same.
    WriteSettingsTo(writtenPath.c_str(), record);
    SettingsRecord again = {};
    if (ReadSettingsFrom(writtenPath.c_str(), &again) != 1) std::abort();
    if (std::memcmp(&again, &record, sizeof again) != 0) std::abort();
}

// Only an absolute XDG_CONFIG_HOME names the file; the path always ends
// inside the buffer, with the file's name.
void CheckPath(const uint8_t* data, size_t size) {
    const std::string config(reinterpret_cast<const char*>(data), strnlen(reinterpret_cast<const char*>(data), size));
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (size_t capacity : {size_t{1}, size_t{40}, size_t{4096}}) {
        char path[4096];
        std::memset(path, 'x', sizeof path);
        const int found = SettingsFilePath(path, capacity);
        if (std::memchr(path, 0, capacity) == nullptr) std::abort();
        const std::string expected = config[0] == '/' ? config + "/zarvo/Config" : "/home/fuzz/.config/zarvo/Config";
        if (found != (expected.size() < capacity ? 1 : 0)) std::abort();
        if (found && expected != path) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Writes sync the file and its folder, cheap only in memory.
    const std::string directory = MakeScratchFolder("fuzz-settings-file");
    contentsPath = directory + "/contents";
    writtenPath = directory + "/written/Config";
    setenv("HOME", "/home/fuzz", 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteWholeFile(contentsPath, data, size);
    CheckRead(data, size);
    CheckPath(data, size);
    return 0;
}
