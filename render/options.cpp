// The command line of zarvo-render: every value checked, every mistake named.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "render/render.h"
#include "settings/display_settings.h"
#include "app/option_grammar.h"

namespace {

constexpr long long kMaxTicks = 1000000;

RenderOptions* Options(void* target) { return static_cast<RenderOptions*>(target); }

int HandleSize(void* target, const char* value, char* error, size_t errorSize) {
    const char* cross = std::strchr(value, 'x');
    char width[16] = {};
    long long w = 0, h = 0;
    if (cross != nullptr && cross - value < 16) {
        std::memcpy(width, value, static_cast<size_t>(cross - value));
        if (ParseWholeNumber(width, &w) && ParseWholeNumber(cross + 1, &h) && w >= 1 && h >= 1 &&
            w <= kMaxPictureSide && h <= kMaxPictureSide) {
            Options(target)->width = static_cast<int>(w);
            Options(target)->height = static_cast<int>(h);
            return 1;
        }
    }
    std::snprintf(error, errorSize, "--size needs WIDTHxHEIGHT, each from 1 to %d, got \"%s\"", kMaxPictureSide, value);
    return 0;
}

int HandleScreenWidth(void* target, const char* value, char* error, size_t errorSize) {
    long long number = 0;
    if (!ParseNumberOption("screen-width", value, 1, kMaxPictureSide, &number, error, errorSize)) return 0;
    Options(target)->screenWidth = static_cast<int>(number);
    return 1;
}

int HandlePictureSize(void* target, const char* value, char* error, size_t errorSize) {
    return ParsePictureSizeOption(value, &Options(target)->pictureSize, error, errorSize);
}

int HandleSeed(void* target, const char* value, char* error, size_t errorSize) {
    long long number = 0;
    if (!ParseNumberOption("seed", value, 0, UINT32_MAX, &number, error, errorSize)) return 0;
    Options(target)->seed = static_cast<uint32_t>(number);
    Options(target)->seedGiven = true;
    return 1;
}

int HandleTicks(void* target, const char* value, char* error, size_t errorSize) {
    long long number = 0;
    if (!ParseNumberOption("ticks", value, 0, kMaxTicks, &number, error, errorSize)) return 0;
    Options(target)->ticks = static_cast<int>(number);
    return 1;
}

int HandleSettingsFile(void* target, const char* value, char*, size_t) {
    Options(target)->settingsFile = value;
    return 1;
}

// The extension of the file name's last part, without the dot; "" when none.
const char* ExtensionOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    const char* name = slash != nullptr ? slash + 1 : path;
    const char* dot = std::strrchr(name, '.');
    return dot != nullptr && dot != name ? dot + 1 : "";
}

// The file kind an option writes is chosen by the option, so a name that
// says another kind is refused rather than written in the wrong format.
int CheckExtension(const char* option, const char* path, const char* kind, const char* writes, char* error,
                   size_t errorSize) {
    const char* extension = ExtensionOf(path);
    if (*extension == '\0' || strcasecmp(extension, kind) == 0) return 1;
    std::snprintf(error, errorSize, "--%s writes %s, but \"%s\" ends in .%s", option, writes, path, extension);
    return 0;
}

int HandleOut(void* target, const char* value, char* error, size_t errorSize) {
    if (!CheckExtension("out", value, "png", "a PNG file (--gif writes a GIF)", error, errorSize)) return 0;
    Options(target)->out = value;
    return 1;
}

int HandleOutPattern(void* target, const char* value, char* error, size_t errorSize) {
    if (!CheckExtension("out-pattern", value, "png", "PNG files (--gif writes a GIF)", error, errorSize)) return 0;
    if (IsTickPattern(value)) {
        Options(target)->outPattern = value;
        return 1;
    }
    std::snprintf(error, errorSize, "--out-pattern needs one %%d or %%0Nd and no other '%%', got \"%s\"", value);
    return 0;
}

int HandleGif(void* target, const char* value, char* error, size_t errorSize) {
    if (!CheckExtension("gif", value, "gif", "an animated GIF (--out writes a PNG)", error, errorSize)) return 0;
    Options(target)->gif = value;
    return 1;
}

int HandleScaleDown(void* target, const char*, char*, size_t) { return Options(target)->scaleDown = true; }
int HandleVersion(void* target, const char*, char*, size_t) { return Options(target)->version = true; }
int HandleHelp(void* target, const char*, char*, size_t) { return Options(target)->help = true; }

// Every option of zarvo-render, in the order --help lists them.
const CommandOption kRenderOptions[] = {
    {"size", "WxH", HandleSize, "client area (default 1024x768), each side 1 to 8192;\nthe screen is as large"},
    {"screen-width", "W", HandleScreenWidth,
     "screen width, when wider than the client (a preview\npane, a still picture), 1 to 8192"},
    {"scale-down", nullptr, HandleScaleDown,
     "a client area narrower than 640 shows the 640x480\nscene scaled down and moving, as zarvo's small\n"
     "windows do"},
    {"picture-size", "NAME", HandlePictureSize,
     "how large the picture is shown on a screen of\n"
     "--size (default centred; a preview pane is always\n"
     "centred):",
     PictureSizeHelp},
    {"seed", "N", HandleSeed, "generator state, 0 to 4294967295 (default: twice\nthe calendar time)"},
    {"ticks", "N", HandleTicks, "timer ticks after the first paint, 0 to 1000000\n(default 100)"},
    {"settings", "FILE", HandleSettingsFile,
     "a stored settings record of up to 72 bytes\n(default: the stored settings)"},
    {nullptr, nullptr, nullptr, "Settings over the record (values outside the range are clamped):"},
    {nullptr, nullptr, nullptr, nullptr},
    {"out", "FILE.png", HandleOut, "the client area after the last tick"},
    {"out-pattern", "PAT", HandleOutPattern, "every tick, PAT holding %d or %0Nd (e.g. f-%04d.png)"},
    {"gif", "FILE.gif", HandleGif,
     "every tick as an animated GIF in the scene palette,\n"
     "each frame shown for the redraw period rounded to\n"
     "the nearest hundredth of a second (at least 2);\n"
     "lossless except for the blended edges of fit and\n"
     "cover, which take the nearest colour"},
    {"version", nullptr, HandleVersion, "print the version"},
    {"help", nullptr, HandleHelp, "this text"},
    {"h", nullptr, HandleHelp, nullptr},
};

}  // namespace

int IsTickPattern(const std::string& pattern) {
    int conversions = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        size_t j = i + 1;
        if (j < pattern.size() && pattern[j] == '0') {
            ++j;
            const size_t digits = j;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9') ++j;
            if (j == digits || j - digits > 2) return 0;
        }
        if (j >= pattern.size() || pattern[j] != 'd') return 0;
        ++conversions;
        i = j;
    }
    return conversions == 1;
}

void PrintRenderUsage() {
    std::printf(
        "Usage: zarvo-render [options]\n"
        "Draws the Zarvo scene headless, as the saver window shows it on a true-colour\n"
        "display, and writes it as RGB PNG files. Options take one or two dashes;\n"
        "values follow as the next argument or after '='.\n\n");
    PrintOptionHelp(stdout, kRenderOptions, sizeof kRenderOptions / sizeof kRenderOptions[0]);
}

int ParseRenderOptions(int argc, char** argv, RenderOptions* options) {
    char error[256];
    if (!ParseCommandLine(argc, argv, kRenderOptions, sizeof kRenderOptions / sizeof kRenderOptions[0], options,
                          &options->settings, error, sizeof error)) {
        std::fprintf(stderr, "zarvo-render: %s\nTry 'zarvo-render --help'.\n", error);
        return 0;
    }
    if (options->help || options->version) return 1;
    if (options->out.empty() && options->outPattern.empty() && options->gif.empty()) {
        std::fprintf(stderr,
                     "zarvo-render: nothing to write: give --out FILE.png, --out-pattern PATTERN or --gif FILE.gif\n");
        return 0;
    }
    return 1;
}
