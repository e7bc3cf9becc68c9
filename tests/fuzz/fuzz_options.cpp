// Fuzz target for zarvo's command line: the input split at zero bytes into
// arguments, through the option parser and what the front end does with them.
//
// The last argument also stands for XScreenSaver's window variable.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/geometry.h"
#include "app/options.h"
#include "app/stored_settings.h"

namespace {

constexpr size_t kMaxArguments = 24;
constexpr unsigned long kMaxWindowId = 0x1FFFFFFF;  // X resource ids use 29 bits

std::vector<std::string> SplitArguments(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments(1, "zarvo");
    size_t start = 0;
    for (size_t i = 0; i <= size && arguments.size() < kMaxArguments; ++i) {
        if (i < size && data[i] != 0) continue;
        arguments.emplace_back(reinterpret_cast<const char*>(data) + start, i - start);
        start = i + 1;
    }
    return arguments;
}

bool PointsIntoArguments(const char* text, const std::vector<char*>& argv) {
    for (const char* argument : argv) {
        if (text >= argument && text <= argument + std::strlen(argument)) return true;
    }
    return false;
}

// What the rest of the program takes for granted of parsed options.
void CheckParsed(const ZarvoOptions& options, const std::vector<char*>& argv) {
    if (options.width < 1 || options.width > kMaxPictureSide) std::abort();
    if (options.height < 1 || options.height > kMaxPictureSide) std::abort();
    if (options.x < 0 || options.x > kMaxWindowOffset || options.y < 0 || options.y > kMaxWindowOffset) std::abort();
    if (options.mode < kModeFullScreen || options.mode > kModeRoot) std::abort();  // the X11 modes
    if (options.mode == kModePreview && (options.windowId == 0 || options.windowId > kMaxWindowId)) std::abort();
    if (options.frameLimit < -1 || options.stillAfter < -1) std::abort();
    if (options.displayName != nullptr && !PointsIntoArguments(options.displayName, argv)) std::abort();
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting& range = kDefaultSettings.entries[i];
        const int32_t value = options.settings.value[i];
        if (options.settings.given[i] && (value < range.min || value > range.max)) std::abort();
    }
}

// A message that fills its buffer must still end inside it.
void CheckError(const char* error, size_t capacity) {
    if (std::memchr(error, 0, capacity) == nullptr) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> arguments = SplitArguments(data, size);
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    // Short enough that long arguments truncate the messages.
    char error[48];
    ZarvoOptions options;
    const int ok = ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, error, sizeof error);
    CheckError(error, sizeof error);
    if (!ok && error[0] == '\0') std::abort();  // every refusal says why
    if (!ok) return 0;
    CheckParsed(options, argv);
    const int applied = ApplyScreenSaverWindow(&options, argv.back(), error, sizeof error);
    CheckError(error, sizeof error);
    if (applied) CheckParsed(options, argv);
    SettingsRecord record = kDefaultSettings;
    ApplySettingOptions(&options, &record);
    for (int i = 0; i < kSettingCount; ++i) {
        if (options.settings.given[i] && record.entries[i].value != options.settings.value[i]) std::abort();
    }
    // The display settings reach the store and the screen view only as known names.
    DisplaySettings display = kDefaultDisplaySettings;
    ApplyDisplayOptions(&options, &display);
    if (display.pictureSize < 0 || display.pictureSize >= kPictureSizeCount) std::abort();
    if (display.monitors < 0 || display.monitors >= kMonitorChoiceCount) std::abort();
    return 0;
}
