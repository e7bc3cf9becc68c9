// The display settings: how large the picture is shown and on which monitors.
// They are stored beside the 72-byte settings record, never inside it: on
// Windows two REG_DWORD values in the settings key, elsewhere a small text
// file beside the record's file. Anything missing or unknown reads as the
// default.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/picture_size.h"

// Where the picture is shown; the stored values are these numbers.
enum MonitorChoice : int32_t {
    kMonitorsAll = 0,      // the picture on every monitor
    kMonitorsPrimary = 1,  // on the primary one only, the others black
    kMonitorChoiceCount = 2,
};

struct DisplaySettings {
    PictureSize pictureSize;
    MonitorChoice monitors;
};

constexpr DisplaySettings kDefaultDisplaySettings = {kPictureCentred, kMonitorsAll};

// The record for two stored numbers; each unknown one gives its default.
DisplaySettings DisplaySettingsFromNumbers(int64_t pictureSize, int64_t monitors);

// The names of the text file and the command line: the picture sizes'
// (settings/picture_sizes.h, where an old name reads as its size too);
// "all", "primary". Parsing takes `length` characters, exactly one of the
// names, and gives 1 when it is one.
const char* PictureSizeName(PictureSize size);
const char* MonitorChoiceName(MonitorChoice monitors);
int ParsePictureSize(const char* text, size_t length, PictureSize* size);
int ParseMonitorChoice(const char* text, size_t length, MonitorChoice* monitors);

// The text form: lines "picture-size=NAME" and "monitors=NAME". Parsing
// takes any bytes over `base`: blanks around names, "\r\n" and lines of
// anything else are passed over; a later line wins; a missing line or an
// unknown name leaves the base's value. `namesPictureSize`, when given, is
// set to 1 when the text names a picture size it knows (a run whose default
// differs, --background's cover, takes the stored one only then).
// Formatting writes at most `capacity` bytes with a terminator and gives the
// length, or 0 when it does not fit; without `withPictureSize` it leaves
// the picture size out, for a user who never chose one.
DisplaySettings ParseDisplaySettings(const char* text, size_t size,
                                     const DisplaySettings& base = kDefaultDisplaySettings,
                                     int* namesPictureSize = nullptr);
// Why the text form cannot be wholly read: a zero byte (it is not text), or
// a setting's line with a value that is not one of its names, which gives
// the default; null when it can. Lines of other names may come from a later
// version and are no problem.
const char* DisplaySettingsProblem(const char* text, size_t size);
size_t FormatDisplaySettings(const DisplaySettings& settings, char* text, size_t capacity, int withPictureSize = 1);
