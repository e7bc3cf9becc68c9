// The display settings' defaults, names and text form, shared by both stores.
#include "settings/display_settings.h"

#include <cstdio>
#include <cstring>

#include "settings/picture_sizes.h"

namespace {

// The name is held in the record, not pointed to, so the tables need no
// relocation and stay in read-only memory.
struct NamedValue {
    char name[16];
    int32_t value;
};

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

bool IsName(const char* name, const char* text, size_t length) {
    return std::strlen(name) == length && std::memcmp(name, text, length) == 0;
}

// 1 and the value when text[0, length) is exactly one of the names.
template <size_t N>
int ValueOf(const NamedValue (&names)[N], const char* text, size_t length, int32_t* value) {
    for (const NamedValue& n : names) {
        if (IsName(n.name, text, length)) {
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

// What the lines read so far gave: the settings over the base, and whether
// a known picture size was named.
struct ReadLines {
    DisplaySettings base;
    DisplaySettings settings;
    int namesPictureSize;
};

// One line of the file, without its '\n'; 0 when it names a setting with a
// value that is not one of its names (the base's value stands in).
int ApplyLine(const char* line, size_t length, ReadLines* read) {
    DisplaySettings* settings = &read->settings;
    const char* equals = static_cast<const char*>(std::memchr(line, '=', length));
    if (equals == nullptr) return 1;
    const char* key = line;
    size_t keyLength = static_cast<size_t>(equals - line);
    const char* value = equals + 1;
    size_t valueLength = length - keyLength - 1;
    Trim(key, keyLength);
    Trim(value, valueLength);
    if (IsName(kPictureSizeKey, key, keyLength)) {
        read->namesPictureSize = ParsePictureSize(value, valueLength, &settings->pictureSize);
        if (read->namesPictureSize) return 1;
        settings->pictureSize = read->base.pictureSize;
        return 0;
    }
    if (IsName(kMonitorsKey, key, keyLength)) {
        if (ParseMonitorChoice(value, valueLength, &settings->monitors)) return 1;
        settings->monitors = read->base.monitors;
        return 0;
    }
    return 1;
}

// Every line of the text into `read`; the count of lines naming a setting
// with a value that is not one of its names.
int ApplyLines(const char* text, size_t size, ReadLines* read) {
    int unknownValues = 0;
    size_t start = 0;
    while (start < size) {
        const char* newline = static_cast<const char*>(std::memchr(text + start, '\n', size - start));
        const size_t end = newline ? static_cast<size_t>(newline - text) : size;
        unknownValues += !ApplyLine(text + start, end - start, read);
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

const char* PictureSizeName(PictureSize size) { return PictureSizeEntryOf(size).name; }

const char* MonitorChoiceName(MonitorChoice monitors) { return NameOf(kMonitorChoiceNames, monitors); }

int ParsePictureSize(const char* text, size_t length, PictureSize* size) {
    if (text == nullptr) return 0;
    for (const PictureSizeEntry& entry : kPictureSizes) {
        if (IsName(entry.name, text, length) || (entry.oldName[0] != '\0' && IsName(entry.oldName, text, length))) {
            *size = entry.size;
            return 1;
        }
    }
    return 0;
}

int ParseMonitorChoice(const char* text, size_t length, MonitorChoice* monitors) {
    int32_t value = 0;
    if (text == nullptr || !ValueOf(kMonitorChoiceNames, text, length, &value)) return 0;
    *monitors = MonitorChoice(value);
    return 1;
}

DisplaySettings ParseDisplaySettings(const char* text, size_t size, const DisplaySettings& base,
                                     int* namesPictureSize) {
    ReadLines read{base, base, 0};
    if (text != nullptr) ApplyLines(text, size, &read);
    if (namesPictureSize != nullptr) *namesPictureSize = read.namesPictureSize;
    return read.settings;
}

const char* DisplaySettingsProblem(const char* text, size_t size) {
    if (text == nullptr || std::memchr(text, '\0', size) != nullptr) return "it is not text";
    ReadLines ignored{kDefaultDisplaySettings, kDefaultDisplaySettings, 0};
    return ApplyLines(text, size, &ignored) > 0 ? "a setting's value is not one of its names" : nullptr;
}

size_t FormatDisplaySettings(const DisplaySettings& settings, char* text, size_t capacity, int withPictureSize) {
    char pictureLine[48] = "";
    if (withPictureSize) {
        std::snprintf(pictureLine, sizeof pictureLine, "%s=%s\n", kPictureSizeKey,
                      PictureSizeName(settings.pictureSize));
    }
    const int length =
        std::snprintf(text, capacity, "%s%s=%s\n", pictureLine, kMonitorsKey, MonitorChoiceName(settings.monitors));
    return length > 0 && static_cast<size_t>(length) < capacity ? static_cast<size_t>(length) : 0;
}
