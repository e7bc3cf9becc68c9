// The display settings' defaults, names and text form, shared by both stores.
#include "settings/display_settings.h"

#include <cstdio>
#include <cstring>

namespace {

// The name is held in the record, not pointed to, so the tables need no
// relocation and stay in read-only memory.
struct NamedValue {
    char name[16];
    int32_t value;
};

constexpr NamedValue kPictureSizeNames[] = {
    {"centred", kPictureCentred}, {"whole-multiples", kPictureWholeMultiples}, {"fill", kPictureFill}};
constexpr NamedValue kMonitorChoiceNames[] = {{"all", kMonitorsAll}, {"primary", kMonitorsPrimary}};

constexpr char kPictureSizeKey[] = "picture-size";
constexpr char kMonitorsKey[] = "monitors";

template <size_t N>
const char* NameOf(const NamedValue (&names)[N], int32_t value) {
    for (const NamedValue& n : names) {
        if (n.value == value) return n.name;
    }
    return names[0].name;
}

// 1 and the value when text[0, length) is exactly one of the names.
template <size_t N>
int ValueOf(const NamedValue (&names)[N], const char* text, size_t length, int32_t* value) {
    for (const NamedValue& n : names) {
        if (std::strlen(n.name) == length && std::memcmp(n.name, text, length) == 0) {
            *value = n.value;
            return 1;
        }
    }
    return 0;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// [text, text + length) without blanks at either end.
void Trim(const char*& text, size_t& length) {
    while (length > 0 && IsBlank(text[0])) ++text, --length;
    while (length > 0 && IsBlank(text[length - 1])) --length;
}

bool KeyIs(const char* key, size_t length, const char* expected) {
    return std::strlen(expected) == length && std::memcmp(key, expected, length) == 0;
}

// One line of the file, without its '\n'; 0 when it names a setting with a
// value that is not one of its names.
int ApplyLine(const char* line, size_t length, DisplaySettings* settings) {
    const char* equals = static_cast<const char*>(std::memchr(line, '=', length));
    if (equals == nullptr) return 1;
    const char* key = line;
    size_t keyLength = static_cast<size_t>(equals - line);
    const char* value = equals + 1;
    size_t valueLength = length - keyLength - 1;
    Trim(key, keyLength);
    Trim(value, valueLength);
    if (KeyIs(key, keyLength, kPictureSizeKey)) {
        if (ParsePictureSize(value, valueLength, &settings->pictureSize)) return 1;
        settings->pictureSize = kDefaultDisplaySettings.pictureSize;
        return 0;
    }
    if (KeyIs(key, keyLength, kMonitorsKey)) {
        if (ParseMonitorChoice(value, valueLength, &settings->monitors)) return 1;
        settings->monitors = kDefaultDisplaySettings.monitors;
        return 0;
    }
    return 1;
}

// Every line of the text into `settings`; the count of lines naming a
// setting with a value that is not one of its names.
int ApplyLines(const char* text, size_t size, DisplaySettings* settings) {
    int unknownValues = 0;
    size_t start = 0;
    while (start < size) {
        const char* newline = static_cast<const char*>(std::memchr(text + start, '\n', size - start));
        const size_t end = newline ? static_cast<size_t>(newline - text) : size;
        unknownValues += !ApplyLine(text + start, end - start, settings);
        start = end + 1;
    }
    return unknownValues;
}

}  // namespace

DisplaySettings DisplaySettingsFromNumbers(int64_t pictureSize, int64_t monitors) {
    DisplaySettings settings = kDefaultDisplaySettings;
    if (pictureSize >= 0 && pictureSize < kPictureSizeCount) settings.pictureSize = PictureSize(pictureSize);
    if (monitors >= 0 && monitors < kMonitorChoiceCount) settings.monitors = MonitorChoice(monitors);
    return settings;
}

const char* PictureSizeName(PictureSize size) { return NameOf(kPictureSizeNames, size); }

const char* MonitorChoiceName(MonitorChoice monitors) { return NameOf(kMonitorChoiceNames, monitors); }

int ParsePictureSize(const char* text, size_t length, PictureSize* size) {
    int32_t value = 0;
    if (text == nullptr || !ValueOf(kPictureSizeNames, text, length, &value)) return 0;
    *size = PictureSize(value);
    return 1;
}

int ParseMonitorChoice(const char* text, size_t length, MonitorChoice* monitors) {
    int32_t value = 0;
    if (text == nullptr || !ValueOf(kMonitorChoiceNames, text, length, &value)) return 0;
    *monitors = MonitorChoice(value);
    return 1;
}

DisplaySettings ParseDisplaySettings(const char* text, size_t size) {
    DisplaySettings settings = kDefaultDisplaySettings;
    if (text != nullptr) ApplyLines(text, size, &settings);
    return settings;
}

const char* DisplaySettingsProblem(const char* text, size_t size) {
    if (text == nullptr || std::memchr(text, '\0', size) != nullptr) return "it is not text";
    DisplaySettings ignored = kDefaultDisplaySettings;
    return ApplyLines(text, size, &ignored) > 0 ? "a setting's value is not one of its names" : nullptr;
}

size_t FormatDisplaySettings(const DisplaySettings& settings, char* text, size_t capacity) {
    const int length =
        std::snprintf(text, capacity, "%s=%s\n%s=%s\n", kPictureSizeKey, PictureSizeName(settings.pictureSize),
                      kMonitorsKey, MonitorChoiceName(settings.monitors));
    return length > 0 && static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : 0;
}
