// The command-line grammar both Linux programs share.
#include "app/option_grammar.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "settings/display_settings.h"
#include "settings/picture_sizes.h"

const SettingOption kSettingOptions[kSettingCount] = {
    {"circle-speed", CircleSpeed, "circle speed: how fast the crowd circles the\nbuilding"},
    {"circle-walkers", CircleWalkers, "circle walkers: how many circle the building"},
    {"walkway-speed", IsleSpeed, "walkway speed: how fast the walkway walkers walk"},
    {"walkway-walkers", IsleWalkers, "walkway walkers: how many walk the walkways"},
    {"redraw-speed", RedrawSpeed,
     "redraw speed, the frame rate: a frame every\n"
     "max(10, 601 - 5 x N) ms (1.7 frames a second at 2,\n"
     "9.9 at 100, 100 from 119 on)"},
    {"seat-shuffle", SeatShuffle, "seat shuffle: how much of the seated crowd stirs"},
};

namespace {

constexpr int kHelpColumn = 24;
constexpr size_t kHelpWidth = 56;

const SettingOption* FindSetting(const char* name) {
    for (const SettingOption& option : kSettingOptions) {
        if (std::strcmp(option.name, name) == 0) return &option;
    }
    return nullptr;
}

// An argument that names an option rather than giving a value: a dash and a
// letter, or two dashes. "-5" stays a value.
bool IsOptionName(const char* arg) {
    return arg[0] == '-' && (std::isalpha(static_cast<unsigned char>(arg[1])) || arg[1] == '-');
}

const CommandOption* FindOption(const char* name, const CommandOption* options, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        if (options[i].name != nullptr && std::strcmp(options[i].name, name) == 0) return &options[i];
    }
    return nullptr;
}

int ParseSetting(const SettingOption& setting, const char* value, GivenSettings* settings, char* error,
                 size_t errorSize) {
    long long number = 0;
    if (!ParseWholeNumber(value, &number)) {
        std::snprintf(error, errorSize, "--%s needs a whole number, got \"%s\"", setting.name, value);
        return 0;
    }
    const Setting& range = kDefaultSettings.entries[setting.index];
    const long long kept = number < range.min ? range.min : number > range.max ? range.max : number;
    settings->given[setting.index] = 1;
    settings->value[setting.index] = static_cast<int32_t>(kept);
    settings->text[setting.index] = value;
    settings->clamped[setting.index] = kept != number;
    return 1;
}

// "  --name VALUE" and the first help line beside it, or under it when long.
void PrintRow(FILE* out, const char* name, const char* valueName, const char* help) {
    char usage[64];
    const int width =
        std::snprintf(usage, sizeof usage, "  --%s%s%s", name, valueName ? " " : "", valueName ? valueName : "");
    std::fputs(usage, out);
    int column = width;
    if (column > kHelpColumn - 2) {
        std::fputc('\n', out);
        column = 0;
    }
    for (const char* line = help; *line != '\0';) {
        const char* end = std::strchr(line, '\n');
        const int length = end ? static_cast<int>(end - line) : static_cast<int>(std::strlen(line));
        std::fprintf(out, "%*s%.*s\n", kHelpColumn - column, "", length, line);
        column = 0;
        line += length + (end ? 1 : 0);
    }
}

// `text` broken at spaces into lines of kHelpWidth columns at most, the
// lines after the first indented by `indent`, each ending in '\n'.
std::string Wrapped(const std::string& text, size_t indent) {
    std::string lines, line;
    size_t at = 0;
    while (at < text.size()) {
        const size_t space = text.find(' ', at);
        const std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? text.size() : space + 1;
        if (!line.empty() && line.size() + 1 + word.size() > kHelpWidth) {
            lines += line + "\n";
            line = std::string(indent, ' ');
        } else if (!line.empty()) {
            line += ' ';
        }
        line += word;
    }
    return lines + line + "\n";
}

void PrintSettingRows(FILE* out) {
    for (const SettingOption& option : kSettingOptions) {
        const Setting& s = kDefaultSettings.entries[option.index];
        char help[256];
        std::snprintf(help, sizeof help, "%s\n%d to %d, default %d", option.meaning, s.min, s.max, s.value);
        PrintRow(out, option.name, "N", help);
    }
}

}  // namespace

const SettingOption& SettingOptionOf(int index) {
    for (const SettingOption& option : kSettingOptions) {
        if (option.index == index) return option;
    }
    return kSettingOptions[0];
}

void ApplyGivenSettings(const GivenSettings& given, SettingsRecord* record) {
    for (int i = 0; i < kSettingCount; ++i) {
        if (given.given[i]) record->entries[i].value = given.value[i];
    }
}

void ReportClampedSettings(const char* program, const GivenSettings& given, const char* kept) {
    for (int i = 0; i < kSettingCount; ++i) {
        if (!given.given[i] || !given.clamped[i]) continue;
        const Setting& range = kDefaultSettings.entries[i];
        std::fprintf(stderr, "%s: --%s %s is outside %d to %d; %s %d\n", program, SettingOptionOf(i).name,
                     given.text[i], range.min, range.max, kept, given.value[i]);
    }
}

int ParseWholeNumber(const char* text, long long* value) {
    if (text == nullptr) return 0;
    const char* digits = text[0] == '-' ? text + 1 : text;
    // strtoll alone would also take leading blanks and a '+'.
    if (!std::isdigit(static_cast<unsigned char>(*digits))) return 0;
    char* end = nullptr;
    errno = 0;
    const long long parsed = std::strtoll(text, &end, 10);
    if (*end != '\0') return 0;
    *value = parsed;  // LLONG_MIN or LLONG_MAX when beyond them
    return 1;
}

int ParseNumberOption(const char* option, const char* text, long long low, long long high, long long* value,
                      char* error, size_t errorSize) {
    long long number = 0;
    if (ParseWholeNumber(text, &number) && number >= low && number <= high) {
        *value = number;
        return 1;
    }
    std::snprintf(error, errorSize, "--%s needs a whole number from %lld to %lld, got \"%s\"", option, low, high, text);
    return 0;
}

int ParseCommandLine(int argc, char** argv, const CommandOption* options, size_t count, void* target,
                     GivenSettings* settings, char* error, size_t errorSize) {
    error[0] = '\0';
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (arg[0] != '-' || arg[1] == '\0') {
            std::snprintf(error, errorSize, "unexpected argument \"%s\"", arg);
            return 0;
        }
        const char* body = arg[1] == '-' ? arg + 2 : arg + 1;
        const char* equals = std::strchr(body, '=');
        const size_t nameLength = equals ? static_cast<size_t>(equals - body) : std::strlen(body);
        char name[32];
        if (nameLength == 0 || nameLength >= sizeof name) {
            std::snprintf(error, errorSize, "unknown option \"%s\"", arg);
            return 0;
        }
        std::memcpy(name, body, nameLength);
        name[nameLength] = '\0';
        const SettingOption* setting = FindSetting(name);
        const CommandOption* option = setting ? nullptr : FindOption(name, options, count);
        if (setting == nullptr && option == nullptr) {
            std::snprintf(error, errorSize, "unknown option \"%s\"", arg);
            return 0;
        }
        const bool flag = option != nullptr && option->valueName == nullptr;
        if (flag && equals) {
            std::snprintf(error, errorSize, "--%s takes no value, got \"%s\"", name, arg);
            return 0;
        }
        const bool next = !flag && !equals;
        if (next && (i + 1 >= argc || IsOptionName(argv[i + 1]))) {
            if (i + 1 >= argc) {
                std::snprintf(error, errorSize, "--%s is missing its value", name);
            } else {
                std::snprintf(error, errorSize, "--%s is missing its value (\"%s\" after it is an option)", name,
                              argv[i + 1]);
            }
            return 0;
        }
        const char* value = flag ? nullptr : equals ? equals + 1 : argv[++i];
        const int ok = setting ? ParseSetting(*setting, value, settings, error, errorSize)
                               : option->handle(target, value, error, errorSize);
        if (!ok) return 0;
    }
    return 1;
}

void PrintOptionHelp(FILE* out, const CommandOption* options, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const CommandOption& option = options[i];
        if (option.name == nullptr && option.help == nullptr) {
            PrintSettingRows(out);
        } else if (option.name == nullptr) {
            std::fprintf(out, "%s\n", option.help);
        } else if (option.help != nullptr) {
            const std::string help =
                option.valueHelp ? std::string(option.help) + "\n" + option.valueHelp() : option.help;
            PrintRow(out, option.name, option.valueName, help.c_str());
        }
    }
}

int ParsePictureSizeOption(const char* value, PictureSize* size, char* error, size_t errorSize) {
    if (ParsePictureSize(value, std::strlen(value), size)) return 1;
    std::string names;
    for (int i = 0; i < kPictureSizeCount; ++i) {
        names += std::string(i == 0 ? "" : i + 1 < kPictureSizeCount ? ", " : " or ") + kPictureSizes[i].name;
    }
    std::snprintf(error, errorSize, "--picture-size needs %s, got \"%s\"", names.c_str(), value);
    return 0;
}

std::string PictureSizeHelp() {
    std::string help;
    for (const PictureSizeEntry& entry : kPictureSizes) {
        std::string line = std::string(entry.name) + ": " + entry.help;
        if (entry.oldName[0] != '\0') line += " (also read as " + std::string(entry.oldName) + ")";
        help += Wrapped(line, 4);
    }
    return help;
}
