// The command-line grammar of both Linux programs, zarvo and zarvo-render:
// one or two dashes, a value after '=' or as the next argument, the six
// settings by the same names and limits, and the help text generated from
// each program's one table of options.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "image/picture_size.h"
#include "settings/settings.h"
#include "zarvo_version.h"

// The one version of the build (project() in the top CMakeLists).
inline constexpr char kZarvoVersion[] = ZARVO_VERSION;
// The largest side of a window or a rendered picture, in either program.
constexpr int kMaxPictureSide = 8192;

// The option that sets one of the six settings.
struct SettingOption {
    const char* name;  // without the dashes
    int index;         // in SettingsRecord
    const char* meaning;
};
extern const SettingOption kSettingOptions[kSettingCount];
// The option of setting `index`.
const SettingOption& SettingOptionOf(int index);

// The six settings as given: each clamped into its built-in range, and the
// text given, to name a value that was clamped.
struct GivenSettings {
    int given[kSettingCount];
    int32_t value[kSettingCount];
    const char* text[kSettingCount];
    int clamped[kSettingCount];
};
// Puts the values given into the record, leaving the others.
void ApplyGivenSettings(const GivenSettings& given, SettingsRecord* record);
// Names on standard error, once each, every value given outside its range
// and the value `program` keeps instead: "using 1", or "stored 1" (`kept`).
void ReportClampedSettings(const char* program, const GivenSettings& given, const char* kept);

// Stores an option's value into the program's options (`target`); a flag's
// value is null. 1 when valid; 0 with a message in `error`.
using OptionHandler = int (*)(void* target, const char* value, char* error, size_t errorSize);

// One row of a program's table. A row without a name is a heading (its
// help), or, when its help is null too, the place of the six settings; a
// row without help is a hidden alias.
struct CommandOption {
    const char* name;       // without the dashes
    const char* valueName;  // null: a flag, which takes no value
    OptionHandler handle;
    const char* help;  // lines separated by '\n', each within 56 columns
    // Lines written from a table under `help` (the values it takes); null
    // for none.
    std::string (*valueHelp)() = nullptr;
};

// --picture-size of either program: NAME as a picture size (an old name
// too), 1; else 0 with a message listing the names.
int ParsePictureSizeOption(const char* value, PictureSize* size, char* error, size_t errorSize);
// Its help under the option: a line or more for each size of the table.
std::string PictureSizeHelp();

// Reads every argument through `options` and the six settings. 1 when all
// are valid; 0 with a message naming the argument in `error`.
int ParseCommandLine(int argc, char** argv, const CommandOption* options, size_t count, void* target,
                     GivenSettings* settings, char* error, size_t errorSize);

// A decimal whole number with an optional '-' and nothing else; a number
// beyond the integer range gives the nearest one, so that it is refused or
// clamped like any other number outside a range. 1 when valid.
int ParseWholeNumber(const char* text, long long* value);
// The same from `low` to `high`, with a message naming --`option` otherwise.
int ParseNumberOption(const char* option, const char* text, long long low, long long high, long long* value,
                      char* error, size_t errorSize);

// The table's help: headings, options and the six settings with their
// ranges and defaults.
void PrintOptionHelp(FILE* out, const CommandOption* options, size_t count);
